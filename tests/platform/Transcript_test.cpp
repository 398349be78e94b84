// The transcript streams: each event reaches the file and the observers as it happens and
// nothing of it is kept; a write that fails is counted, not fatal.
#include "platform/operator/Transcript.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace {

TEST(Transcript, EventsGoToTheFileAndObserversAndAreNotKept) {
  const testsupport::TempDir dir;
  TTranscript t; // not the process's: nothing else writes into it
  ASSERT_TRUE(t.OpenFile(dir / "t.jsonl"));
  int seen = 0;
  const int id = t.AddObserver([&](const TTranscript::Json &e) { seen += e["ev"] == "input"; });
  const std::string action = "C1", form = "Frm\"1\"";
  for (int i = 0; i < 1000; ++i) t.AddTexts("input", {{"action", &action}, {"form", &form}});
  t.RemoveObserver(id);
  t.AddTexts("input", {{"action", &action}, {"form", nullptr}}); // the file alone
  t.Add("audit", {{"text", TTranscript::Text("Cria\xE7\xE3o")}});
  EXPECT_EQ(seen, 1000);
  EXPECT_TRUE(t.Events().empty());
  const std::string text = testsupport::ReadFile(dir / "t.jsonl");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1002);
  EXPECT_NE(text.find(",\"ev\":\"input\",\"action\":\"C1\",\"form\":null}\n"), std::string::npos);
  EXPECT_NE(text.find(",\"ev\":\"audit\",\"text\":\"Cria\xC3\xA7\xC3\xA3o\"}\n"),
            std::string::npos);
  EXPECT_EQ(t.LostEvents(), 0u);

  ASSERT_TRUE(t.OpenFile("/dev/full"));
  t.Add("audit", {{"text", "x"}});
  t.AddTexts("input", {{"action", &action}});
  EXPECT_EQ(t.LostEvents(), 2u);
}

} // namespace
