#include "platform/operator/Transcript.h"

#include "platform/forms/Forms.h"
#include "platform/operator/Privacy.h"
#include "platform/text/StrUtils.h"

#include <cstring>

bool TTranscript::OpenFile(const std::string &path) {
  // It may hold what the operator typed: readable by its owner only.
  std::FILE *f = OpenPrivateFile(path, true);
  if (!f) return false;
  fFile.reset(f);
  fLost = 0;
  return true;
}

void TTranscript::CloseFile() {
  fFile.reset();
}

std::vector<TTranscript::Json> TTranscript::Events(const std::string &ev) const {
  std::vector<Json> out;
  for (const Json &e : fEvents)
    if (e.value("ev", "") == ev) out.push_back(e);
  return out;
}

int TTranscript::AddObserver(Observer obs) {
  fObservers.emplace_back(fNextObserver, std::move(obs));
  return fNextObserver++;
}

void TTranscript::RemoveObserver(int id) {
  for (size_t i = 0; i < fObservers.size(); ++i)
    if (fObservers[i].first == id) {
      fObservers.erase(fObservers.begin() + i);
      return;
    }
}

namespace {

// JSON string of a text that is already valid UTF-8.
void AppendJsonString(std::string &out, const char *s, size_t n) {
  out += '"';
  for (size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += char(c);
    } else if (c < 0x20) {
      static const char hex[] = "0123456789abcdef";
      out += "\\u00";
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += char(c);
    }
  }
  out += '"';
}

} // namespace

void TTranscript::AddTexts(const char *ev, std::initializer_list<TextField> fields) {
  if (!Active()) return;
  if (fKeep || !fObservers.empty()) {
    Json j = Json::object();
    for (const auto &f : fields) j[f.first] = f.second ? Json(*f.second) : Json(nullptr);
    Add(ev, std::move(j));
    return;
  }
  // Only the file: the line is written straight away, keys in the order given.
  std::string &line = fLine;
  line.clear();
  line += "{\"t\":";
  line += std::to_string(Application ? Application->Now() : 0);
  line += ",\"ev\":";
  AppendJsonString(line, ev, std::strlen(ev));
  for (const auto &f : fields) {
    line += ',';
    AppendJsonString(line, f.first, std::strlen(f.first));
    line += ':';
    if (f.second)
      AppendJsonString(line, f.second->data(), f.second->size());
    else
      line += "null";
  }
  line += "}\n";
  Write(line);
}

void TTranscript::Write(const std::string &line) {
  // A transcript that cannot be written (disk full) must not stop a checkout: the session goes
  // on, and the loss is counted for the host to tell. Each line is flushed, so that a session
  // that ends abruptly keeps what happened up to then.
  const bool written = std::fwrite(line.data(), 1, line.size(), fFile.get()) == line.size();
  if (std::fflush(fFile.get()) != 0 || !written) {
    ++fLost;
    std::clearerr(fFile.get());
  }
}

std::string TTranscript::Line(const Json &event) {
  // `t` and `ev` first, so that a person reading the file sees when and what at a glance; the other
  // keys follow in the object's (sorted) order.
  std::string line = "{";
  bool first = true;
  auto put = [&](const std::string &key, const Json &value) {
    if (!first) line += ',';
    first = false;
    line += Json(key).dump();
    line += ':';
    line += value.dump(-1, ' ', false, Json::error_handler_t::replace);
  };
  if (auto it = event.find("t"); it != event.end()) put("t", *it);
  if (auto it = event.find("ev"); it != event.end()) put("ev", *it);
  for (auto it = event.begin(); it != event.end(); ++it)
    if (it.key() != "t" && it.key() != "ev") put(it.key(), it.value());
  line += '}';
  return line;
}

void TTranscript::Add(const std::string &ev, Json fields) {
  if (!Active()) return;
  if (!fields.is_object()) fields = Json{{"value", std::move(fields)}};
  fields["t"] = Application ? Application->Now() : 0;
  fields["ev"] = ev;
  if (fFile) {
    std::string &line = fLine;
    line = Line(fields);
    line += '\n';
    Write(line);
  }
  // Observers may add or remove observers: walk a copy.
  if (!fObservers.empty()) {
    auto observers = fObservers;
    for (auto &o : observers) o.second(fields);
  }
  if (fKeep) fEvents.push_back(std::move(fields));
}

TTranscript::Json TTranscript::Text(const std::string &cp1252) {
  return Cp1252ToUtf8(cp1252);
}

TTranscript &Transcript() {
  static TTranscript transcript;
  return transcript;
}
