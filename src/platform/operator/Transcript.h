// The transcript: one JSON object per event, with the virtual time `t` (ms) and the kind `ev`. The
// form layer writes form, focus, input, msgbox and error events; the module and the host add their
// own (audit, field, authorize, pdv_error, save ...) through Add().
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

class TTranscript {
public:
  using Json = nlohmann::json;
  using Observer = std::function<void(const Json &event)>;

  // Appends events to a JSON Lines file (UTF-8), flushed after every event. False when the file
  // cannot be opened.
  bool OpenFile(const std::string &path);
  void CloseFile();
  bool FileOpen() const { return fFile != nullptr; }
  // Events that did not reach the file (a full disk, /dev/full, an I/O error) since it was
  // opened. The session goes on; the host tells its user.
  size_t LostEvents() const { return fLost; }
  // Keeps every event in memory as well (tests read them back with Events()). Otherwise nothing
  // of an event stays once it is written and observed: a session's memory does not grow with
  // its length.
  void SetKeepInMemory(bool keep) { fKeep = keep; }
  bool KeepInMemory() const { return fKeep; }
  const std::vector<Json> &Events() const { return fEvents; }
  void Clear() { fEvents.clear(); }
  // Events of one kind (in order), for tests.
  std::vector<Json> Events(const std::string &ev) const;

  // Observers see every event (renderers, picture writers, tests).
  int AddObserver(Observer obs);
  void RemoveObserver(int id);

  // Whether anything records events (a file, memory or an observer): callers may skip building an
  // event nobody will see.
  bool Active() const { return fFile || fKeep || !fObservers.empty(); }

  // Adds one event: `fields` is a JSON object whose strings are already UTF-8. `t` and `ev` are put
  // first. Use Text() to turn the module's Windows-1252 texts into JSON strings.
  void Add(const std::string &ev, Json fields = Json::object());
  static Json Text(const std::string &cp1252); // Windows-1252 -> JSON string (UTF-8)
  // The same for an event made only of texts, already UTF-8 (a null pointer writes null). The form
  // layer's frequent events take this road, which builds no JSON object when only the file records
  // them.
  using TextField = std::pair<const char *, const std::string *>;
  void AddTexts(const char *ev, std::initializer_list<TextField> fields);
  // One event as the line written to the file (without the line break).
  static std::string Line(const Json &event);

private:
  std::unique_ptr<std::FILE, int (*)(std::FILE *)> fFile{nullptr, &std::fclose};
  bool fKeep = false;
  std::vector<Json> fEvents;
  std::vector<std::pair<int, Observer>> fObservers;
  int fNextObserver = 1;
  std::string fLine; // reused for each line written
  size_t fLost = 0;
  void Write(const std::string &line);
};

// The process-wide transcript (shared by the form layer, the module and the host).
TTranscript &Transcript();
