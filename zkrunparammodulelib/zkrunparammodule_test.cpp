// Tests of the run-parameter store: names, groups, escaping, the payload and its parser.
#include "zkrunparammodulelib/zkrunparammodule.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "zkrunparammodulelib/zkrunparam.h"
#include "zkrunparammodulelib/zkrunparamcodes.h"

namespace {

// A namespace-scope object of the program, built before main like a caller's
// global: it must find the manager already built and get its store.
CZKRunParam g_programGlobal;

std::string Payload(CZKRunParamModule& module) {
  int length = module.SerialisedLength();
  std::vector<char> buffer(length + 1, '#');
  int written = -1;
  EXPECT_EQ(module.Serialise(buffer.data(), length + 1, &written), 0);
  EXPECT_EQ(written, length);
  EXPECT_EQ(buffer[length], '\0');
  return std::string(buffer.data(), written);
}

const char* Text(const char* text) { return text ? text : "<NULL>"; }

TEST(CZKRunParam, NamesCompareIgnoringCaseAndBlanks) {
  CZKRunParam param;
  EXPECT_EQ(param.SetValue("Key", "1"), 0);
  EXPECT_STREQ(Text(param.GetValue("KEY")), "1");
  EXPECT_EQ(param.SetValue("key", "2"), 0);
  EXPECT_STREQ(Text(param.GetValue("Key")), "2");

  EXPECT_EQ(param.SetValue(" a ", "x"), 0);
  EXPECT_TRUE(param.HasValue("a"));
  EXPECT_TRUE(param.HasValue(" a "));
  EXPECT_STREQ(Text(param.GetValue("A")), "x");

  EXPECT_EQ(param.SetValue("empty", ""), 0);
  EXPECT_TRUE(param.HasValue("empty"));
  EXPECT_STREQ(Text(param.GetValue("empty")), "");

  EXPECT_EQ(param.RemoveValue("key"), 0);
  EXPECT_FALSE(param.HasValue("Key"));
  EXPECT_EQ(param.GetValue("Key"), nullptr);
  EXPECT_EQ(param.RemoveValue("never"), 0);
  EXPECT_EQ(param.SetValue("gone", nullptr), 0);
}

TEST(CZKRunParam, SettingAValueFromItsOwnText) {
  // The text that GetValue gives is the entry's own; setting the entry from it
  // must read it before the old text goes.
  CZKRunParam param;
  ASSERT_EQ(param.SetValue("a", "value"), 0);
  ASSERT_EQ(param.SetValue("A", param.GetValue("a")), 0);
  EXPECT_STREQ(Text(param.GetValue("a")), "value");

  CZKRunParamModuleValue decoded("x%3dy", false);
  ASSERT_TRUE(decoded.SetText(decoded.GetText(), true));
  EXPECT_STREQ(Text(decoded.GetText()), "x=y");
  NS_ZKRunParamModuleLib::_CZKString text("self");
  text.Assign(text.GetText());
  EXPECT_STREQ(Text(text.GetText()), "self");
}

TEST(CZKRunParam, BadNamesAndObjects) {
  CZKRunParam param;
  EXPECT_EQ(param.SetValue("   ", "v"), ZK_RUNPARAM_INVALID);
  EXPECT_EQ(param.SetValue("", "v"), ZK_RUNPARAM_INVALID);
  EXPECT_EQ(param.SetValue(nullptr, "v"), ZK_RUNPARAM_INVALID);
  EXPECT_FALSE(param.HasValue(nullptr));
  EXPECT_EQ(param.GetValue(nullptr), nullptr);

  CZKRunParamModuleMan& manager = ZKRunParamModuleMan();
  EXPECT_EQ(manager.SetValue(nullptr, "a", "b"), ZK_RUNPARAM_INVALID);
  EXPECT_EQ(manager.Execute(nullptr, "x.exe", nullptr, nullptr), ZK_RUNPARAM_INVALID);
  EXPECT_FALSE(manager.HasValue(nullptr, "a"));
  EXPECT_EQ(manager.Register(&param), ZK_RUNPARAM_ALREADY_REGISTERED);
  EXPECT_STREQ(Text(param.GetValue("nothing")), "<NULL>");

  // An object whose module is gone answers 5004 / false / NULL.
  EXPECT_EQ(manager.Unregister(&param), 0);
  EXPECT_EQ(manager.Unregister(&param), ZK_RUNPARAM_NOT_REGISTERED);
  EXPECT_EQ(param.SetValue("a", "b"), ZK_RUNPARAM_NOT_REGISTERED);
  EXPECT_EQ(param.Execute("x.exe", nullptr, "key"), ZK_RUNPARAM_NOT_REGISTERED);
  EXPECT_FALSE(param.HasValue("a"));
  EXPECT_EQ(param.GetValue("a"), nullptr);
  EXPECT_EQ(manager.Register(&param), 0);  // so that its destructor finds it again
}

TEST(CZKRunParam, GlobalObjectHasItsStore) {
  CZKRunParamModule* module = nullptr;
  EXPECT_EQ(ZKRunParamModuleMan().FindModule(&g_programGlobal, &module), 0);
  EXPECT_EQ(g_programGlobal.SetValue("early", "1"), 0);
  EXPECT_STREQ(Text(g_programGlobal.GetValue("EARLY")), "1");
}

TEST(CZKRunParam, ObjectsHaveTheirOwnStores) {
  CZKRunParam first, second;
  first.SetValue("name", "1");
  second.SetValue("name", "2");
  EXPECT_STREQ(Text(first.GetValue("name")), "1");
  EXPECT_STREQ(Text(second.GetValue("name")), "2");
}

TEST(CZKRunParamModule, GroupsStayWhenEmptied) {
  CZKRunParamModule module;
  EXPECT_EQ(module.SerialisedLength(), 0);
  EXPECT_EQ(module.SetEntry(nullptr, "   ", "v", false), ZK_RUNPARAM_INVALID);
  EXPECT_EQ(Payload(module), "<<__defAult_sectIonNAMEbyBrumel=>>;");

  CZKRunParamModule removed;
  EXPECT_EQ(removed.SetEntry(nullptr, "never", nullptr, false), 0);
  EXPECT_EQ(Payload(removed), "<<__defAult_sectIonNAMEbyBrumel=>>;");
}

TEST(CZKRunParamModule, EscapingAndDecoding) {
  struct Case {
    const char* plain;
    const char* escaped;
  } cases[] = {
      {"a=b;c%d", "a%3db%3bc%25d"},
      {"<|> \x80\xff", "<|> \x80\xff"},
      {"%%", "%25%25"},
  };
  for (const Case& c : cases) {
    CZKRunParamModuleValue value(c.plain, false);
    std::vector<char> out(value.EscapedLength() + 1, '#');
    int written = value.WriteEscaped(out.data(), static_cast<int>(out.size()));
    EXPECT_EQ(std::string(out.data(), written), c.escaped);
    EXPECT_EQ(value.WriteEscaped(out.data(), written), 0);  // no room for one more
    CZKRunParamModuleValue decoded(c.escaped, true);
    EXPECT_STREQ(decoded.GetText(), c.plain);
  }
  struct Decoding {
    const char* text;
    const char* expected;
  } decodings[] = {
      {"%3D%3d", "=="}, {"%zz", "%zz"}, {"%4", "%4"}, {"%", "%"}, {"a%%41", "a%A"}, {"%4g1", "%4g1"},
  };
  for (const Decoding& d : decodings) {
    CZKRunParamModuleValue value(d.text, true);
    EXPECT_STREQ(Text(value.GetText()), d.expected) << d.text;
  }
  CZKRunParamModuleValue empty("", true);
  EXPECT_EQ(empty.GetText(), nullptr);
  char room[4];
  EXPECT_EQ(empty.WriteEscaped(room, 4), 0);
}

TEST(CZKRunParamModule, PayloadOrderAndForm) {
  CZKRunParamModule module;
  module.SetEntry(nullptr, "B", "2", false);
  module.SetEntry(nullptr, "a", "x;y", false);
  EXPECT_EQ(Payload(module), "<<__defAult_sectIonNAMEbyBrumel=>>;a=x%3by;B=2;");

  // Entries with an empty value are left out; '_' orders before letters.
  module.SetEntry(nullptr, "c", "", false);
  module.SetEntry("Zeta", "n=1", "v", false);
  module.SetEntry("alpha", "k", "%", false);
  EXPECT_EQ(Payload(module),
            "<<__defAult_sectIonNAMEbyBrumel=>>;a=x%3by;B=2;<<alpha=>>;k=%25;<<Zeta=>>;n%3d1=v;");

  std::vector<char> small(10);
  EXPECT_NE(module.Serialise(small.data(), 10, nullptr), 0);
}

TEST(CZKRunParamModule, ParseGrammar) {
  struct Case {
    const char* text;
    int code;
    std::vector<std::array<const char*, 3>> entries;  // group ("" default), name, value
  } cases[] = {
      {"<<__defAult_sectIonNAMEbyBrumel=>>;a=x%3by;B=2;", 0, {{"", "a", "x;y"}, {"", "B", "2"}}},
      {"  a=1;  b = 2 ;", 0, {{"", "a", "1"}, {"", "b", " 2 "}}},
      {"a=1", 0, {{"", "a", "1"}}},
      {"", 0, {}},
      {"<<G=>>;k=v;<<H=>>;k=w;", 0, {{"G", "k", "v"}, {"H", "k", "w"}}},
      {"<<G=>>;<<H=>>;x=1;", 0, {{"G", "<<H", ">>"}, {"G", "x", "1"}}},
      {"a=1;a=2;", 0, {{"", "a", "2"}}},
      {"a%3db=c%3bd;", 0, {{"", "a=b", "c;d"}}},
      {"a=;", 0, {{"", "a", ""}}},
      {"<<G=>>;", ZK_RUNPARAM_BAD_PAYLOAD, {}},
      {"<<G=>;a=1;", ZK_RUNPARAM_BAD_PAYLOAD, {}},
      {"a=1;b;", ZK_RUNPARAM_BAD_PAYLOAD, {{"", "a", "1"}}},
      {"a=1; =2;", ZK_RUNPARAM_INVALID, {{"", "a", "1"}}},
  };
  for (const Case& c : cases) {
    CZKRunParamModule module;
    EXPECT_EQ(module.Parse(c.text), c.code) << c.text;
    for (const auto& entry : c.entries) {
      std::string name = entry[1], value = entry[2];
      const char* group = *entry[0] ? entry[0] : nullptr;
      EXPECT_TRUE(module.HasValue(group, name.c_str())) << c.text << " " << name;
      const char* got = module.GetValue(group, name.c_str());
      EXPECT_EQ(std::string(got ? got : ""), value) << c.text << " " << name;
    }
  }
}

TEST(CZKRunParamModule, ParsedEmptyValueReadsAsNull) {
  CZKRunParamModule module;
  ASSERT_EQ(module.Parse("a=;"), 0);
  EXPECT_TRUE(module.HasValue(nullptr, "a"));
  EXPECT_EQ(module.GetValue(nullptr, "a"), nullptr);
}

TEST(CZKRunParamModule, GroupNamesOutliveTheirNameRecords) {
  // A name read in one group and then in another rewrites its record; the
  // first group's key must stay readable.
  CZKRunParamModule module;
  ASSERT_EQ(module.Parse("<<First=>>;k=1;<<Second=>>;k=2;<<Third=>>;k=3;"), 0);
  EXPECT_STREQ(module.GroupOfName("k"), "Third");
  EXPECT_STREQ(Text(module.GetValue("First", "k")), "1");
  EXPECT_STREQ(Text(module.GetValue(nullptr, "K")), "3");
  EXPECT_EQ(Payload(module), "<<First=>>;k=1;<<Second=>>;k=2;<<Third=>>;k=3;");
}

TEST(CZKRunParamModule, ClearForgetsEverything) {
  CZKRunParamModule module;
  module.Parse("<<G=>>;k=1;");
  module.Clear();
  EXPECT_EQ(module.SerialisedLength(), 0);
  EXPECT_STREQ(module.GroupOfName("k"), ZK_RUNPARAM_DEFAULT_GROUP);
}

}  // namespace
