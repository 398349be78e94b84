/* The request layout record: what a screen hands to AutorizaTransacao to name the request.
 *
 * 408 bytes, packed: a 32-bit request code, 31 entries of 13 bytes in request order, and one
 * filler byte (0x90). An entry names a field of the store (field id != 0), or a module buffer
 * or constant text whose content goes in that place (field id 0). Field id 0xFFFF ends the
 * list. An entry whose group size is G > 0 opens a repeated group: the next G entries are sent
 * `repeat value` times, at indexes 0 .. repeat-1 (record after record).
 *
 * The reference (last 4 bytes) is 32 bits wide, as on the original 32-bit platform. On this
 * 64-bit platform it holds a handle, never an address: the builder below registers each
 * referenced text in a process-wide table (one per shared object) and stores the handle it
 * got. The host turns a handle back into the text's address when it decodes the request, so
 * it always reads a buffer's CURRENT content (screens fill buffers just before authorising).
 * The module hands its resolver to the host once, when it is loaded
 * (VelkorRegistraResolvedor in cheque/host.h). Handle 0 means "no reference": an empty text
 * for a field-0 entry, no label for a field entry. Registered texts must outlive every request
 * that names them (module buffers and literals do).
 */
#ifndef CHEQUE_LAYOUT_H
#define CHEQUE_LAYOUT_H

#include <stdint.h>

#define CHEQUE_LAYOUT_ENTRADAS 31
#define CHEQUE_LAYOUT_FIM 0xFFFF
#define CHEQUE_LAYOUT_FILLER 0x90
/* The most records a decoded repeat sends: a request carries at most 25 cheques or
 * authorisations, and a repeat value can claim 65535, which a hostile layout would turn into
 * millions of entries. The host sends this many and marks the entry that asked for more. */
#define CHEQUE_LAYOUT_REPETICAO_MAX 100

#pragma pack(push, 1)
typedef struct TLayoutEntry {
  uint16_t Campo;       /* field id; 0 = module buffer / constant text; 0xFFFF = end of list */
  uint16_t Repeticao;   /* repeat value (number of repetitions of the group it opens) */
  uint16_t Grupo;       /* group size: number of following entries that repeat */
  uint8_t Atributos[3]; /* attribute bytes, passed on as they are */
  uint32_t Referencia;  /* handle of the buffer / constant text / label text, 0 = none */
} TLayoutEntry;

typedef struct TRequestLayout {
  uint32_t Codigo; /* request code: 0x70, 0x72, 0x74, 0x78, 0x7C, 0xF0 */
  TLayoutEntry Entradas[CHEQUE_LAYOUT_ENTRADAS];
  uint8_t Filler; /* 0x90 */
} TRequestLayout;
#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(TLayoutEntry) == 13, "a layout entry is 13 bytes");
static_assert(sizeof(TRequestLayout) == 408, "a request layout is 408 bytes");
#else
_Static_assert(sizeof(TLayoutEntry) == 13, "a layout entry is 13 bytes");
_Static_assert(sizeof(TRequestLayout) == 408, "a request layout is 408 bytes");
#endif

/* Turns a reference handle back into the text's address (NULL when unknown). */
typedef const char *(*TResolveReferencia)(uint32_t referencia);

#ifdef __cplusplus

#include <cstring>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace cheque::layout {

// ---- Reference table ------------------------------------------------------------------

struct TTabelaReferencias {
  std::mutex trava;
  std::vector<const char *> textos{nullptr}; // handle -> address; handle 0 is "none"
  std::unordered_map<const char *, uint32_t> porEndereco;
};
inline TTabelaReferencias &Tabela() {
  static TTabelaReferencias tabela;
  return tabela;
}
// Handle of `texto` (the same address always gets the same handle); 0 for nullptr.
inline uint32_t RegistraReferencia(const char *texto) {
  if (!texto) return 0;
  TTabelaReferencias &t = Tabela();
  std::lock_guard<std::mutex> g(t.trava);
  auto it = t.porEndereco.find(texto);
  if (it != t.porEndereco.end()) return it->second;
  uint32_t h = static_cast<uint32_t>(t.textos.size());
  t.textos.push_back(texto);
  t.porEndereco.emplace(texto, h);
  return h;
}
inline const char *ResolveReferencia(uint32_t handle) {
  TTabelaReferencias &t = Tabela();
  std::lock_guard<std::mutex> g(t.trava);
  return handle < t.textos.size() ? t.textos[handle] : nullptr;
}

// ---- Building a layout from a readable table ---------------------------------------------

struct TItem {
  uint16_t campo = 0;
  uint16_t repeticao = 0;
  uint16_t grupo = 0;
  uint8_t atributos[3] = {0, 0, 0};
  const char *referencia = nullptr;

  TItem &Atributos(uint8_t a, uint8_t b = 0, uint8_t c = 0) {
    atributos[0] = a;
    atributos[1] = b;
    atributos[2] = c;
    return *this;
  }
  TItem &Repete(uint16_t vezes) {
    repeticao = vezes;
    return *this;
  }
};

// A field of the store; `rotulo` is the label text that goes with it (e.g. "CODAREA:").
inline TItem Campo(uint16_t id, const char *rotulo = nullptr) {
  TItem i;
  i.campo = id;
  i.referencia = rotulo;
  return i;
}
// A module buffer (zero-terminated, its content read when the request is built).
inline TItem Buffer(const char *buffer) {
  TItem i;
  i.referencia = buffer;
  return i;
}
// A constant text sent as it is ("" = an empty text in that place).
inline TItem Texto(const char *texto) {
  return Buffer(texto);
}
// The entry that opens a repeated group: `tamanho` following entries sent `vezes` times.
inline TItem Grupo(uint16_t id, uint16_t vezes, uint16_t tamanho) {
  TItem i;
  i.campo = id;
  i.repeticao = vezes;
  i.grupo = tamanho;
  return i;
}

// Builds the 408-byte record: entries in order, the end marker after the last one (when
// fewer than 31), unused entries set to the end marker, filler 0x90. More than 31 entries
// is a programming error (std::length_error).
inline TRequestLayout MontaLayout(uint32_t codigo, std::initializer_list<TItem> itens) {
  if (itens.size() > CHEQUE_LAYOUT_ENTRADAS)
    throw std::length_error("request layout with more than 31 entries");
  TRequestLayout l;
  std::memset(&l, 0, sizeof l);
  l.Codigo = codigo;
  for (auto &e : l.Entradas) e.Campo = CHEQUE_LAYOUT_FIM;
  size_t n = 0;
  for (const TItem &i : itens) {
    TLayoutEntry &e = l.Entradas[n++];
    e.Campo = i.campo;
    e.Repeticao = i.repeticao;
    e.Grupo = i.grupo;
    std::memcpy(e.Atributos, i.atributos, 3);
    e.Referencia = RegistraReferencia(i.referencia);
  }
  l.Filler = CHEQUE_LAYOUT_FILLER;
  return l;
}

// Index of the entry of `campo` (-1 when absent): screens use it to set a group's repeat value.
inline int IndiceEntrada(const TRequestLayout &l, uint16_t campo) {
  for (int i = 0; i < CHEQUE_LAYOUT_ENTRADAS && l.Entradas[i].Campo != CHEQUE_LAYOUT_FIM; ++i)
    if (l.Entradas[i].Campo == campo) return i;
  return -1;
}

// ---- Decoding (what the host sends) --------------------------------------------------------

struct TEntradaDecodificada {
  enum class Tipo { Campo, Texto, Grupo } tipo = Tipo::Campo;
  int campo = 0;         // Campo, Grupo
  int indice = 0;        // Campo: index read from the store
  bool presente = false; // Campo: the store holds the value
  std::string valor;     // Campo: the value; Texto: the buffer / constant text
  std::string rotulo;    // Campo: the label text that goes with it ("" = none)
  int repeticao = 0;     // Grupo
  int tamanho = 0;       // Grupo
  uint8_t atributos[3] = {0, 0, 0};
  bool referenciaInvalida = false; // a nonzero handle that the resolver did not know
  int repeticaoCortada = 0;        // the repeat value asked when above CHEQUE_LAYOUT_REPETICAO_MAX
};

// Reads one value from the store: true and `out` set when present.
using TLeCampo = std::function<bool(int campo, int indice, std::string &out)>;

// Decodes the entries in order. A group opener becomes a Grupo entry followed by its entries,
// record after record (indexes 0 .. repeat-1); a repeat value of 0 sends the group once. A
// field entry with repeat value R > 1 and group size 0 is read at indexes 0 .. R-1. Groups
// reaching past the end of the list are cut at the end. Groups do not nest (an opener inside
// a group is read as a plain field). A repeat value above CHEQUE_LAYOUT_REPETICAO_MAX is sent
// that many times only; the group opener (or the first copy of a repeated field) keeps the
// value asked in `repeticaoCortada`.
inline std::vector<TEntradaDecodificada>
DecodificaLayout(const TRequestLayout &l, TResolveReferencia resolve, const TLeCampo &le) {
  std::vector<TEntradaDecodificada> saida;
  int fim = 0;
  while (fim < CHEQUE_LAYOUT_ENTRADAS && l.Entradas[fim].Campo != CHEQUE_LAYOUT_FIM) ++fim;
  auto texto = [&](uint32_t ref, TEntradaDecodificada &d) -> std::string {
    if (ref == 0) return std::string();
    const char *p = resolve ? resolve(ref) : nullptr;
    if (!p) {
      d.referenciaInvalida = true;
      return std::string();
    }
    return std::string(p);
  };
  auto emite = [&](const TLayoutEntry &e, int indice) {
    TEntradaDecodificada d;
    std::memcpy(d.atributos, e.Atributos, 3);
    if (e.Campo == 0) {
      d.tipo = TEntradaDecodificada::Tipo::Texto;
      d.valor = texto(e.Referencia, d);
    } else {
      d.tipo = TEntradaDecodificada::Tipo::Campo;
      d.campo = e.Campo;
      d.indice = indice;
      d.rotulo = texto(e.Referencia, d);
      d.presente = le && le(e.Campo, indice, d.valor);
      if (!d.presente) d.valor.clear();
    }
    saida.push_back(std::move(d));
  };
  for (int i = 0; i < fim; ++i) {
    const TLayoutEntry &e = l.Entradas[i];
    if (e.Grupo > 0 && e.Campo != 0) {
      TEntradaDecodificada g;
      g.tipo = TEntradaDecodificada::Tipo::Grupo;
      g.campo = e.Campo;
      g.repeticao = e.Repeticao;
      g.tamanho = e.Grupo;
      std::memcpy(g.atributos, e.Atributos, 3);
      saida.push_back(std::move(g));
      int primeiro = i + 1;
      int ultimo = primeiro + e.Grupo < fim ? primeiro + e.Grupo : fim;
      int vezes = e.Repeticao > 0 ? e.Repeticao : 1;
      if (vezes > CHEQUE_LAYOUT_REPETICAO_MAX) {
        saida.back().repeticaoCortada = vezes;
        vezes = CHEQUE_LAYOUT_REPETICAO_MAX;
      }
      for (int r = 0; r < vezes; ++r)
        for (int j = primeiro; j < ultimo; ++j) emite(l.Entradas[j], r);
      i = ultimo - 1;
    } else if (e.Campo != 0 && e.Repeticao > 1) {
      const size_t primeiro = saida.size();
      const int vezes =
          e.Repeticao < CHEQUE_LAYOUT_REPETICAO_MAX ? e.Repeticao : CHEQUE_LAYOUT_REPETICAO_MAX;
      for (int r = 0; r < vezes; ++r) emite(e, r);
      if (e.Repeticao > vezes) saida[primeiro].repeticaoCortada = e.Repeticao;
    } else {
      emite(e, 0);
    }
  }
  return saida;
}

// The decoded entries as JSON (an array), for the `authorize` transcript event. `Json` is
// nlohmann::json; `text` turns a Windows-1252 text into a JSON string (TTranscript::Text).
// Field: {"field":F,"index":I,"value":V} ("absent":true instead of a value when the store
// has none; "label":L when a label goes with it); buffer / constant: {"text":V}; group
// opener: {"group":F,"repeat":R,"size":G}. "attr":[a,b,c] when an attribute byte is set;
// "repeat_cut":R on the entry whose repeat value R was cut to CHEQUE_LAYOUT_REPETICAO_MAX.
template <class Json, class TextFn>
Json EntradasJson(const std::vector<TEntradaDecodificada> &entradas, TextFn text) {
  Json arr = Json::array();
  for (const TEntradaDecodificada &d : entradas) {
    Json o = Json::object();
    switch (d.tipo) {
    case TEntradaDecodificada::Tipo::Grupo:
      o["group"] = d.campo;
      o["repeat"] = d.repeticao;
      o["size"] = d.tamanho;
      break;
    case TEntradaDecodificada::Tipo::Texto:
      o["text"] = text(d.valor);
      break;
    case TEntradaDecodificada::Tipo::Campo:
      o["field"] = d.campo;
      o["index"] = d.indice;
      if (d.presente)
        o["value"] = text(d.valor);
      else
        o["absent"] = true;
      if (!d.rotulo.empty()) o["label"] = text(d.rotulo);
      break;
    }
    if (d.atributos[0] || d.atributos[1] || d.atributos[2])
      o["attr"] = Json::array({d.atributos[0], d.atributos[1], d.atributos[2]});
    if (d.referenciaInvalida) o["bad_reference"] = true;
    if (d.repeticaoCortada) o["repeat_cut"] = d.repeticaoCortada;
    arr.push_back(std::move(o));
  }
  return arr;
}

} // namespace cheque::layout

#endif /* __cplusplus */

#endif /* CHEQUE_LAYOUT_H */
