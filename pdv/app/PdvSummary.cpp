#include "PdvSummary.h"

#include <fstream>
#include <sstream>

#include "PdvHost.h"
#include "platform/text/StrUtils.h"

TPdvSummary::TPdvSummary() {
  fObserver = Transcript().AddObserver([this](const TTranscript::Json &e) { See(e); });
}

TPdvSummary::~TPdvSummary() {
  Transcript().RemoveObserver(fObserver);
}

void TPdvSummary::See(const TTranscript::Json &e) {
  const std::string ev = e.value("ev", "");
  if (ev == "form") {
    const std::string what = e.value("what", "");
    const std::string name = e.value("form", "");
    if (what == "show") {
      fScreens.push_back({name, -1});
    } else if (what == "hide") {
      // A screen shown without waiting (non-modally) goes away without a result.
      for (auto it = fScreens.rbegin(); it != fScreens.rend(); ++it)
        if (it->name == name && it->result == -1) {
          it->result = -2;
          break;
        }
    } else if (what == "close") {
      for (auto it = fScreens.rbegin(); it != fScreens.rend(); ++it)
        if (it->name == name && it->result == -1) {
          it->result = e.value("result", 0);
          break;
        }
    }
  } else if (ev == "msgbox") {
    fBoxes.push_back(e.value("text", ""));
  } else if (ev == "authorize") {
    ++fAuthorizations;
  } else if (ev == "audit") {
    ++fAudit;
  }
}

namespace {

std::string CleanText(const std::string &s) {
  return Cp1252ToUtf8(Utf8ToCp1252(s));
}

std::string Indent(const std::string &text) {
  std::string out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) out += "    " + line + "\n";
  return out;
}

// The saved file as the point of sale will read it, masked like the logs, its first values
// only: a person reads the summary, and a store of many megabytes would only double the
// process's memory on its way out.
constexpr size_t kShownBytes = 64 * 1024;

std::string SavedFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "    (cannot read it back)\n";
  std::string text(kShownBytes, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  if (text.empty()) return "    (empty: no field)\n";
  const bool more = in.peek() != std::ifstream::traits_type::eof();
  if (more) text.resize(text.rfind('\n') + 1); // whole lines only (npos + 1 = nothing)
  try {
    std::string out = Indent(Cp1252ToUtf8(pdv::FormataParaLog(pdv::LeTextoTransacao(text, path))));
    if (more) out += "    ... (the rest is in the file)\n";
    return out;
  } catch (const std::exception &e) {
    return "    (cannot read it back: " + CleanText(e.what()) + ")\n";
  }
}

const char *ResultName(int r) {
  switch (r) {
  case 1:
    return "completed (1)";
  case 2:
    return "closed without completing (2)";
  case -1:
    return "still open";
  case -2:
    return "shown without waiting, then hidden";
  default:
    return "closed";
  }
}

} // namespace

std::string TPdvSummary::Text(const std::string &call) const {
  const pdv::TPdvHost &host = pdv::TPdvHost::Instancia();
  std::ostringstream s;
  s << "== " << call << " returned\n";

  s << "screens shown:";
  if (fScreens.empty()) s << " none";
  s << "\n";
  for (const auto &sc : fScreens) {
    std::string r = ResultName(sc.result);
    if (sc.result > 2 || sc.result == 0) r += " (" + std::to_string(sc.result) + ")";
    s << "    " << sc.name << std::string(sc.name.size() < 26 ? 26 - sc.name.size() : 1, ' ') << r
      << "\n";
  }

  s << "message boxes:";
  if (fBoxes.empty()) s << " none";
  s << "\n";
  for (const auto &b : fBoxes) s << "    \"" << b << "\"\n";

  if (fAuthorizations) s << "authorisations sent: " << fAuthorizations << "\n";
  s << "audit lines: " << fAudit;
  // Said here too, so that the count is not taken for what the file holds.
  if (host.LinhasAuditPerdidas() > 0)
    s << " (" << host.LinhasAuditPerdidas() << " of them not written: " << host.FalhaAudit() << ")";
  s << "\n";

  s << "== what the point of sale received\n";
  s << "errors handed to the point of sale:";
  if (host.ErrosPdv().empty()) s << " none";
  s << "\n";
  for (const auto &e : host.ErrosPdv())
    s << "    " << e.codigo << " \"" << Cp1252ToUtf8(e.texto) << "\"\n";
  if (!host.ErrosPdv().empty()) s << "    (last one left in " << host.ArquivoErroPdv() << ")\n";
  if (auto c = host.CampoCupomNegada()) s << "refusal receipt held in field " << *c << "\n";

  for (const auto &f : host.FalhasErroPdv())
    s << "    (could not leave it in " << host.ArquivoErroPdv() << ": " << f << ")\n";
  if (host.UltimoSalvamentoFalhou()) {
    // What the store holds is printed, so that the values are not lost with the process.
    const int n = host.PedidosSalvamento();
    s << "transaction file: the module asked to save it"
      << (n > 1 ? " (" + std::to_string(n) + " times)" : std::string())
      << " and the save failed: " << host.FalhasSalvamento().back() << "\n"
      << "    (" << host.ArquivoTransacao() << " left as it was)\n"
      << "the store still holds:\n"
      << Indent(Cp1252ToUtf8(pdv::FormataParaLog(host.Store())));
  } else if (host.Salvamentos().empty()) {
    s << "transaction file: not saved (the module did not ask); " << host.ArquivoTransacao()
      << " left as it was\n";
  } else {
    const std::string &last = host.Salvamentos().back();
    s << "transaction file: " << last << " (saved " << host.Salvamentos().size()
      << (host.Salvamentos().size() == 1 ? " time" : " times") << ")\n";
    s << SavedFile(last);
  }
  return s.str();
}
