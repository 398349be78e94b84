#include "Diario.h"

#include "platform/system/Sistema.h"

#include <sqlite3.h>
#include <stdexcept>

namespace troca {

namespace {

// A prepared statement that is finalised whatever happens.
class TComando {
public:
  TComando(sqlite3 *db, const char *sql) : fDb(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &fSt, nullptr) != SQLITE_OK)
      throw std::runtime_error(std::string("journal: ") + sqlite3_errmsg(db));
  }
  ~TComando() { sqlite3_finalize(fSt); }
  TComando(const TComando &) = delete;
  TComando &operator=(const TComando &) = delete;
  TComando &Texto(int i, const std::string &s) {
    sqlite3_bind_text(fSt, i, s.data(), int(s.size()), SQLITE_TRANSIENT);
    return *this;
  }
  TComando &Numero(int i, int64_t n) {
    sqlite3_bind_int64(fSt, i, n);
    return *this;
  }
  bool Passo() {
    const int rc = sqlite3_step(fSt);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) throw std::runtime_error(std::string("journal: ") + sqlite3_errmsg(fDb));
    return false;
  }
  std::string Coluna(int i) const {
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(fSt, i));
    return p ? std::string(p, size_t(sqlite3_column_bytes(fSt, i))) : std::string();
  }
  int64_t ColunaNumero(int i) const { return sqlite3_column_int64(fSt, i); }

private:
  sqlite3 *fDb;
  sqlite3_stmt *fSt = nullptr;
};

constexpr const char *kColunas =
    "id, estado, operacao, identificacao, pedido, resposta, store, nota, entregue";

TTransacao DaLinha(const TComando &c) {
  TTransacao t;
  t.id = c.ColunaNumero(0);
  t.estado = c.Coluna(1);
  t.operacao = c.Coluna(2);
  t.identificacao = c.Coluna(3);
  t.pedido = c.Coluna(4);
  t.resposta = c.Coluna(5);
  t.store = c.Coluna(6);
  t.nota = c.Coluna(7);
  t.entregue = c.ColunaNumero(8) != 0;
  return t;
}

} // namespace

TDiario::TDiario(const std::string &caminho) {
  // A shop's folder may be named with an accent: SQLite takes UTF-8 names.
  if (sqlite3_open_v2(CaminhoUtf8(caminho).c_str(), &fDb,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    const std::string why = fDb ? sqlite3_errmsg(fDb) : "out of memory";
    sqlite3_close(fDb);
    throw std::runtime_error(caminho + ": " + why);
  }
  try {
    // A support query running at the same time must not make a state change fail.
    sqlite3_busy_timeout(fDb, 5000);
    Executa("PRAGMA journal_mode=WAL");
    Executa("PRAGMA synchronous=FULL");
    Executa("CREATE TABLE IF NOT EXISTS transacao ("
            "id INTEGER PRIMARY KEY AUTOINCREMENT, estado TEXT NOT NULL, operacao TEXT, "
            "identificacao TEXT, pedido TEXT, resposta TEXT, store TEXT, nota TEXT, "
            "entregue INTEGER NOT NULL DEFAULT 0, "
            "recebido TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%fZ','now')), "
            "alterado TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%fZ','now')))");
    Executa("CREATE INDEX IF NOT EXISTS transacao_estado ON transacao(estado)");
  } catch (...) {
    sqlite3_close(fDb);
    throw;
  }
}

TDiario::~TDiario() {
  sqlite3_close(fDb);
}

void TDiario::Executa(const char *sql) {
  char *erro = nullptr;
  if (sqlite3_exec(fDb, sql, nullptr, nullptr, &erro) != SQLITE_OK) {
    const std::string why = erro ? erro : "unknown error";
    sqlite3_free(erro);
    throw std::runtime_error("journal: " + why);
  }
}

int64_t TDiario::Recebe(const std::string &operacao, const std::string &identificacao,
                        const std::string &pedido) {
  TComando c(fDb, "INSERT INTO transacao(estado, operacao, identificacao, pedido) "
                  "VALUES('recebida', ?1, ?2, ?3)");
  c.Texto(1, operacao).Texto(2, identificacao).Texto(3, pedido).Passo();
  return sqlite3_last_insert_rowid(fDb);
}

void TDiario::Estado(int64_t id, const std::string &estado, const std::string &nota) {
  TComando c(fDb, "UPDATE transacao SET estado = ?1, nota = COALESCE(NULLIF(?2, ''), nota), "
                  "alterado = strftime('%Y-%m-%dT%H:%M:%fZ','now') WHERE id = ?3");
  c.Texto(1, estado).Texto(2, nota).Numero(3, id).Passo();
}

void TDiario::Responde(int64_t id, const std::string &resposta, const std::string &store) {
  TComando c(fDb, "UPDATE transacao SET estado = 'respondida', resposta = ?1, store = ?2, "
                  "entregue = 0, alterado = strftime('%Y-%m-%dT%H:%M:%fZ','now') WHERE id = ?3");
  c.Texto(1, resposta).Texto(2, store).Numero(3, id).Passo();
}

void TDiario::Entregue(int64_t id) {
  TComando c(fDb, "UPDATE transacao SET entregue = 1, "
                  "alterado = strftime('%Y-%m-%dT%H:%M:%fZ','now') WHERE id = ?1");
  c.Numero(1, id).Passo();
}

std::optional<TTransacao> TDiario::Le(int64_t id) const {
  TComando c(fDb, (std::string("SELECT ") + kColunas + " FROM transacao WHERE id = ?1").c_str());
  c.Numero(1, id);
  if (!c.Passo()) return std::nullopt;
  return DaLinha(c);
}

std::vector<TTransacao> TDiario::EmEstado(const std::vector<std::string> &estados) const {
  std::string sql = std::string("SELECT ") + kColunas + " FROM transacao WHERE estado IN (";
  for (size_t i = 0; i < estados.size(); ++i) sql += i ? ", ?" : "?";
  TComando c(fDb, (sql + ") ORDER BY id").c_str());
  for (size_t i = 0; i < estados.size(); ++i) c.Texto(int(i + 1), estados[i]);
  std::vector<TTransacao> out;
  while (c.Passo()) out.push_back(DaLinha(c));
  return out;
}

std::optional<TTransacao> TDiario::Pendente() const {
  TComando c(fDb, (std::string("SELECT ") + kColunas +
                   " FROM transacao WHERE estado = 'respondida' AND resposta LIKE "
                   "'%729-000 = 2%' ORDER BY id DESC LIMIT 1")
                      .c_str());
  if (!c.Passo()) return std::nullopt;
  return DaLinha(c);
}

} // namespace troca
