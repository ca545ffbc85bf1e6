// The remembered per-application switch and the program-name cache: what a
// press decides once the customised names and the program are known, and
// when it has to walk and reload again.
#include "app_keys_fake.h"
#include "app_switch_memory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program_name_cache.h"

namespace {


// One press over `program`: whether it reloads, the walks it made, and the
// current application name afterwards.
struct Step {
  const wchar_t* program;
  bool reload;
  uint32_t walkCalls;
  const wchar_t* currentAfter;
  bool forgetBefore = false;
};

TEST(AppSwitchMemory, PressSequencesWalkOnceAndReloadOnlyWhenTheApplicationChanges) {
  Keys keys{{L"Text Editor", L"notepad.exe", L"Paint Program"}};
  const Step steps[] = {
      {L"calc.exe", true, 4, L""},                 // first press: walk, load the global settings
      {L"calc.exe", false, 0, L""},                // same uncustomised program: nothing
      {L"explorer.exe", false, 0, L""},            // another uncustomised one: the global settings still apply
      {L"Text Editor", true, 0, L"Text Editor"},   // customised: reload, no walk
      {L"TEXT EDITOR", false, 0, L"Text Editor"},  // same program regardless of case
      {L"NOTEPAD.EXE", true, 0, L""},              // the key's case differs: not customised
      {L"notepad.exe", true, 0, L"notepad.exe"},
      {L"notepad.exe", true, 4, L"notepad.exe", true},   // settings changed: walk and reload again
      {L"Notepad.exe", true, 4, L"notepad.exe", true},   // still customised: kept despite the case
      {L"calc.exe", true, 0, L""},
      {L"calc.exe", true, 4, L"", true},            // after a change even the same program reloads
  };
  qvn::AppSwitchMemory memory;
  wchar_t current[260] = L"";
  int i = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << "step " << i++);
    if (s.forgetBefore) memory.Forget();
    keys.calls = 0;
    EXPECT_EQ(qvn::ApplicationSelect(s.program, current, 260, memory, Keys::Enum, &keys), s.reload);
    EXPECT_EQ(keys.calls, s.walkCalls);
    EXPECT_EQ(std::wstring(current), s.currentAfter);
  }
}

TEST(AppSwitchMemory, KeyRemovedWhileCurrentFallsBackAfterForgetAndLongNamesAreCut) {
  Keys keys{{L"Text Editor"}};
  qvn::AppSwitchMemory memory;
  wchar_t current[260] = L"";
  EXPECT_TRUE(qvn::ApplicationSelect(L"Text Editor", current, 260, memory, Keys::Enum, &keys));
  keys.names.clear();
  EXPECT_FALSE(qvn::ApplicationSelect(L"Text Editor", current, 260, memory, Keys::Enum, &keys))
      << "unchanged settings: kept";
  memory.Forget();
  EXPECT_TRUE(qvn::ApplicationSelect(L"Text Editor", current, 260, memory, Keys::Enum, &keys));
  EXPECT_EQ(std::wstring(current), L"") << "its key is gone: the global settings apply";

  std::wstring longName(300, L'x');
  Keys big{{longName}};
  qvn::AppSwitchMemory m2;
  wchar_t small[8] = L"";
  EXPECT_TRUE(qvn::ApplicationSelect(longName.c_str(), small, 8, m2, Keys::Enum, &big));
  EXPECT_EQ(std::wstring(small), L"xxxxxxx");
  EXPECT_FALSE(qvn::ApplicationSelect(L"x", small, 0, m2, Keys::Enum, &big)) << "no room: nothing written";
}

TEST(ProgramNameCache, KeyedByProcessIdAndCreationTimeOldestEntryMakesRoom) {
  qvn::ProgramNameCache cache;
  EXPECT_EQ(cache.Find(10, 100), nullptr);
  cache.Store(10, 100, L"Text Editor");
  ASSERT_NE(cache.Find(10, 100), nullptr);
  EXPECT_EQ(std::wstring(cache.Find(10, 100)), L"Text Editor");
  EXPECT_EQ(cache.Find(10, 101), nullptr) << "identifier reused by a later process";
  cache.Store(10, 101, L"calc.exe");
  EXPECT_EQ(std::wstring(cache.Find(10, 101)), L"calc.exe");
  EXPECT_EQ(std::wstring(cache.Find(10, 100)), L"Text Editor");
  cache.Store(10, 101, L"calc2.exe");
  EXPECT_EQ(std::wstring(cache.Find(10, 101)), L"calc2.exe") << "stored again in place";

  // Fill up: the least recently used entry goes.
  for (uint32_t p = 0; p < qvn::ProgramNameCache::kEntries; ++p) {
    cache.Find(10, 100);  // keep this one fresh
    cache.Store(1000 + p, 1, L"other");
  }
  EXPECT_NE(cache.Find(10, 100), nullptr);
  EXPECT_EQ(cache.Find(10, 101), nullptr);
  EXPECT_EQ(cache.Find(1000, 1), nullptr);
  EXPECT_NE(cache.Find(1000 + qvn::ProgramNameCache::kEntries - 1, 1), nullptr);

  std::wstring longName(400, L'y');
  cache.Store(7, 7, longName.c_str());
  EXPECT_EQ(std::wstring(cache.Find(7, 7)).size(), qvn::ProgramNameCache::kNameChars - 1);
  cache.Forget();
  EXPECT_EQ(cache.Find(10, 100), nullptr);
}

}  // namespace
