// The field store: a sorted index of (field, index, where, how long) and one buffer of the
// values' bytes. A value written over a longer one stays in place; a longer one goes to the
// end of the buffer, and the buffer is compacted when more than half of it is stale.
#include <algorithm>
#include <cstring>
#include <functional>
#include <numeric>
#include <stdexcept>

#include "PdvHost.h"

namespace pdv {

namespace {
// Below this much stale space the buffer is never compacted (a few overwritten values).
constexpr size_t kLixoMinimo = size_t(1) << 20;
} // namespace

TStore::TStore(std::initializer_list<std::pair<TChave, std::string_view>> valores) {
  for (const auto &[chave, valor] : valores) Define(chave, valor);
}

TStore::const_iterator TStore::begin() const {
  return {fIndice.data(), fDados.data()};
}

TStore::const_iterator TStore::end() const {
  return {fIndice.data() + fIndice.size(), fDados.data()};
}

void TStore::clear() {
  // Memory given back: a store of many megabytes that is cleared should not keep them.
  std::vector<TEntrada>().swap(fIndice);
  std::string().swap(fDados);
  fLixo = 0;
  fOrdenado = true;
}

namespace {
bool Menor(const auto &e, const std::pair<int32_t, int32_t> &chave) {
  return e.campo < chave.first || (e.campo == chave.first && e.indice < chave.second);
}
} // namespace

std::optional<std::string_view> TStore::Valor(TChave chave) const {
  const auto it = std::lower_bound(fIndice.begin(), fIndice.end(), chave,
                                   [](const TEntrada &e, const TChave &c) { return Menor(e, c); });
  if (it == fIndice.end() || it->campo != chave.first || it->indice != chave.second)
    return std::nullopt;
  return std::string_view(fDados.data() + it->ini, it->tamanho);
}

uint32_t TStore::Guarda(std::string_view valor) {
  // A value taken from the store itself: copied first, since the buffer may move.
  const std::less<const char *> antes;
  if (!valor.empty() && !antes(valor.data(), fDados.data()) &&
      antes(valor.data(), fDados.data() + fDados.size()))
    return Guarda(std::string(valor));
  if (fLixo > kLixoMinimo && fLixo > fDados.size() / 2) Compacta();
  // The offsets are 32 bits: far beyond what a transaction file may hold.
  if (fDados.size() + valor.size() > UINT32_MAX) throw std::length_error("field store full");
  const auto ini = static_cast<uint32_t>(fDados.size());
  fDados.append(valor);
  return ini;
}

void TStore::Define(TChave chave, std::string_view valor) {
  if (valor.size() > UINT32_MAX) throw std::length_error("field value too long");
  const auto tamanho = static_cast<uint32_t>(valor.size());
  // Appended in order (a file being loaded, a record written index after index): no search.
  if (fIndice.empty() || Menor(fIndice.back(), chave)) {
    const uint32_t ini = Guarda(valor);
    fIndice.push_back({chave.first, chave.second, ini, tamanho});
    return;
  }
  auto it = std::lower_bound(fIndice.begin(), fIndice.end(), chave,
                             [](const TEntrada &e, const TChave &c) { return Menor(e, c); });
  if (it != fIndice.end() && it->campo == chave.first && it->indice == chave.second) {
    if (tamanho <= it->tamanho) {
      // The view may point into the store itself (a value copied to another key).
      std::memmove(fDados.data() + it->ini, valor.data(), tamanho);
      fLixo += it->tamanho - tamanho;
      it->tamanho = tamanho;
      return;
    }
    const size_t pos = static_cast<size_t>(it - fIndice.begin());
    fLixo += it->tamanho;
    const uint32_t ini = Guarda(valor);
    fIndice[pos].ini = ini, fIndice[pos].tamanho = tamanho;
    return;
  }
  const size_t pos = static_cast<size_t>(it - fIndice.begin());
  const uint32_t ini = Guarda(valor);
  fIndice.insert(fIndice.begin() + static_cast<long>(pos),
                 {chave.first, chave.second, ini, tamanho});
}

size_t TStore::RemoveCampo(int32_t campo) {
  const auto ini = std::lower_bound(fIndice.begin(), fIndice.end(), TChave{campo, INT32_MIN},
                                    [](const TEntrada &e, const TChave &c) { return Menor(e, c); });
  auto fim = ini;
  while (fim != fIndice.end() && fim->campo == campo) fLixo += (fim++)->tamanho;
  const auto n = static_cast<size_t>(fim - ini);
  fIndice.erase(ini, fim);
  return n;
}

void TStore::Compacta() {
  std::string novo;
  novo.reserve(fDados.size() - fLixo);
  for (TEntrada &e : fIndice) {
    const auto ini = static_cast<uint32_t>(novo.size());
    novo.append(fDados, e.ini, e.tamanho);
    e.ini = ini;
  }
  fDados.swap(novo);
  fLixo = 0;
}

size_t TStore::Memoria() const {
  return fIndice.capacity() * sizeof(TEntrada) + fDados.capacity();
}

bool TStore::operator==(const TStore &o) const {
  if (size() != o.size()) return false;
  return std::equal(begin(), end(), o.begin(), [](const value_type &a, const value_type &b) {
    return a.first == b.first && a.second == b.second;
  });
}

void TStore::Reserva(size_t valores, size_t bytes) {
  fIndice.reserve(fIndice.size() + valores);
  fDados.reserve(fDados.size() + bytes);
}

void TStore::Anexa(TChave chave, std::string_view valor) {
  if (valor.size() > UINT32_MAX) throw std::length_error("field value too long");
  if (!fIndice.empty() && !Menor(fIndice.back(), chave)) fOrdenado = false;
  const uint32_t ini = Guarda(valor);
  fIndice.push_back({chave.first, chave.second, ini, static_cast<uint32_t>(valor.size())});
}

std::optional<std::pair<size_t, TStore::TChave>> TStore::Ordena() {
  if (fOrdenado) return std::nullopt; // appended in order: nothing repeats either
  fOrdenado = true;
  // A hand-edited file out of order: sorted once, stable so that a repeat is found where the
  // file repeats it.
  std::vector<uint32_t> ordem(fIndice.size());
  std::iota(ordem.begin(), ordem.end(), 0u);
  std::stable_sort(ordem.begin(), ordem.end(), [&](uint32_t a, uint32_t b) {
    return Menor(fIndice[a], TChave{fIndice[b].campo, fIndice[b].indice});
  });
  std::optional<std::pair<size_t, TChave>> repetido;
  for (size_t i = 1; i < ordem.size(); ++i) {
    const TEntrada &a = fIndice[ordem[i - 1]], &b = fIndice[ordem[i]];
    if (a.campo == b.campo && a.indice == b.indice && (!repetido || ordem[i] < repetido->first))
      repetido = {{ordem[i], {b.campo, b.indice}}};
  }
  std::vector<TEntrada> ordenado;
  ordenado.reserve(fIndice.size());
  for (uint32_t i : ordem) ordenado.push_back(fIndice[i]);
  fIndice.swap(ordenado);
  return repetido;
}

} // namespace pdv
