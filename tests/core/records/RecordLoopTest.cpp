#include "core/records/RecordLoop.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/core/TextReader.h"

namespace qurix {
namespace {

TEST(RecordLoopTest, DataFormsSplitTokens) {
    using namespace std::string_literals;
    struct Case {
        DataForm form;
        std::string token;
        bool passed;
        std::string key;
        std::string value;
    };
    const Case cases[] = {
        {DataForm::Text, "N:a:b", true, "N", "a:b"},
        {DataForm::Text, "M:", true, "M", ""},            // an empty pin number is a number
        {DataForm::Text, ":x", false, "", ""},            // no key
        {DataForm::Text, "plain", false, "", ""},         // no colon
        {DataForm::Text, "N:a\0b"s, true, "N", "a"},      // the value ends at its NUL
        {DataForm::Text, "N\0x:a"s, true, "N\0x"s, "a"},  // the key is taken as written
        {DataForm::Element, "N\0x:a"s, true, "N", "a"},   // an element cuts the key too
        {DataForm::Element, "X:", false, "", ""},         // an element drops empty values
        {DataForm::Element,
         "X:\0"
         "5"s,
         false, "", ""},                               // also when the NUL empties it
        {DataForm::Element, "\0K:5"s, false, "", ""},  // and empty keys
        {DataForm::Whole, "@@OO", true, "", "@@OO"},   // bitmap rows come whole
        {DataForm::Whole, ":x", true, "", ":x"},
    };
    for (const Case& c : cases) {
        std::string key = "stale", value = "stale";
        EXPECT_EQ(SplitRecordData(c.form, c.token, key, value), c.passed) << c.token;
        if (!c.passed) continue;
        EXPECT_EQ(key, c.key) << c.token;
        EXPECT_EQ(value, c.value) << c.token;
    }
}

TEST(RecordLoopTest, EndsAndFaults) {
    struct Case {
        const char* text;
        RecordEnd end;
        const char* stray;
        const char* reason;  // "" when nothing is reported
        int32_t line;
        const char* endOfInputReason = nullptr;
    };
    const Case cases[] = {
        {"A:1,-R,B:2", RecordEnd::EndTag, "", "", 0},
        {"A:1", RecordEnd::EndOfInput, "", "", 0},
        {"A:1,\n-Q", RecordEnd::Failed, "-Q", "stray -Q", 2},
        {"+S,-R,-S,-R", RecordEnd::EndTag, "", "", 0},  // nesting is not counted
        {"+S,\nA:1", RecordEnd::Failed, "", "+S from 1 never ends", 2},
        {"+CLOSE,A:1", RecordEnd::EndTag, "", "", 0},  // a nested record closed this one
        {"+STOP,-R", RecordEnd::Failed, "", "", 0},    // the reader gave up (and said why)
        {"A:stop,-R", RecordEnd::Failed, "", "", 0},
        {"A:1,\nB:2", RecordEnd::Failed, "", "R never ends", 2, "R never ends"},
    };
    for (const Case& c : cases) {
        test::TextReader mem(c.text);
        std::string reason;
        int32_t line = 0;
        const CRecordReader::Listener listener = [&](int32_t l, const std::string& why) {
            line = l;
            reason = why;
        };
        mem.reader.SetListener(&listener);
        std::string stray = "stale";
        const auto onNested = [](const std::string& tag, int32_t) {
            if (tag == "+CLOSE") return Nested::EndsRecord;
            return tag == "+STOP" ? Nested::Failed : Nested::Skip;
        };
        const auto onData = [](const std::string&, const std::string& v) { return v != "stop"; };
        const auto words = [](RecordFault fault, const std::string& tag, int32_t at) {
            if (fault == RecordFault::StrayEndTag) return "stray " + tag;
            return tag + " from " + std::to_string(at) + " never ends";
        };
        const RecordSyntax syntax{"-R", DataForm::Text, &stray, c.endOfInputReason};
        EXPECT_EQ(ReadRecord(mem.reader, syntax, onData, onNested, words), c.end) << c.text;
        EXPECT_EQ(stray, c.stray) << c.text;
        EXPECT_EQ(reason, c.reason) << c.text;
        EXPECT_EQ(line, c.line) << c.text;
    }
}

TEST(RecordLoopTest, ReasonTokensCannotDriveATerminal) {
    using namespace std::string_literals;
    const std::string eighty(80, 'x');
    struct Case {
        std::string token;
        std::string shown;
    };
    const Case cases[] = {
        {"-COMP", "-COMP"},
        {"-\x1b]0;owned\a\x1b[2J", "-\\x1b]0;owned\\x07\\x1b[2J"},  // title and clear screen
        {"\x7f\x1f \x80\xff", "\\x7f\\x1f \x80\xff"},  // DEL and C0 only; other bytes stay
        {"a\0b"s, "a\\x00b"},
        {eighty, eighty},                         // the longest shown whole
        {eighty + "y", eighty + "\xE2\x80\xA6"},  // one more byte is cut
        {std::string(79, 'x') + "\x1b\x1b", std::string(79, 'x') + "\\x1b\xE2\x80\xA6"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReasonToken(c.token), c.shown) << c.token;
}

TEST(RecordLoopTest, ReasonsAreBuiltOnlyForAListener) {
    test::TextReader mem("-X");
    bool built = false;
    const auto why = [&] {
        built = true;
        return std::string("why");
    };
    EXPECT_FALSE(mem.reader.Fail(why));
    EXPECT_FALSE(built);
    const CRecordReader::Listener listener = [](int32_t, const std::string&) {};
    mem.reader.SetListener(&listener);
    EXPECT_FALSE(mem.reader.Fail(why));
    EXPECT_TRUE(built);
}

}  // namespace
}  // namespace qurix
