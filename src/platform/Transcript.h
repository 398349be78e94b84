// The transcript: one JSON object per event, with the virtual time `t` (ms) and the kind `ev`.
// The form layer writes form, focus, msgbox and error events; the module and the host add
// their own (audit, field, authorize, pdv_error, save ...) through Add().
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

class TTranscript {
public:
  using Json = nlohmann::json;
  using Observer = std::function<void(const Json &event)>;

  // Appends events to a JSON Lines file (UTF-8), flushed after every event. False when the
  // file cannot be opened.
  bool OpenFile(const std::string &path);
  void CloseFile();
  // Keeps every event in memory as well (tests read them back with Events()).
  void SetKeepInMemory(bool keep) { fKeep = keep; }
  const std::vector<Json> &Events() const { return fEvents; }
  void Clear() { fEvents.clear(); }

  // Observers see every event (renderers, picture writers, tests).
  int AddObserver(Observer obs);
  void RemoveObserver(int id);

  // Adds one event: `fields` is a JSON object whose strings are already UTF-8. `t` and `ev`
  // are put first. Use Text() to turn the module's Windows-1252 texts into JSON strings.
  void Add(const std::string &ev, Json fields = Json::object());
  static Json Text(const std::string &cp1252); // Windows-1252 -> JSON string (UTF-8)

private:
  std::unique_ptr<std::FILE, int (*)(std::FILE *)> fFile{nullptr, &std::fclose};
  bool fKeep = false;
  std::vector<Json> fEvents;
  std::vector<std::pair<int, Observer>> fObservers;
  int fNextObserver = 1;
};

// The process-wide transcript (shared by the form layer, the module and the host).
TTranscript &Transcript();
