#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/platform/TempFiles.h"
#include "core/records/RecordReader.h"
#include "core/records/RecordWriter.h"

namespace qurix {
namespace {

// Reads every token of text with the start line of each; -1 ends the list.
std::vector<std::pair<int32_t, std::string>> Tokens(const std::string& text) {
    std::vector<std::pair<int32_t, std::string>> out;
    FILE* f = tmpfile();
    fwrite(text.data(), 1, text.size(), f);
    rewind(f);
    CRecordReader reader(f);
    std::string token;
    for (;;) {
        const int32_t line = reader.ReadToken(token);
        out.emplace_back(line, token);
        if (line == -1) break;
    }
    fclose(f);
    return out;
}

using Tok = std::vector<std::pair<int32_t, std::string>>;

TEST(RecordReaderTest, SplitsAtCommasAndLineEnds) {
    struct Case {
        const char* name;
        std::string input;
        Tok expected;
    } cases[] = {
        {"tags and data on one line",
         "+PTN,N:NAND,X:40,Y:30\n",
         {{1, "+PTN"}, {1, "N:NAND"}, {1, "X:40"}, {1, "Y:30"}, {-1, ""}}},
        {"empty token between commas", "A,,B\n", {{1, "A"}, {1, ""}, {1, "B"}, {-1, ""}}},
        {"line of one comma", ",\n", {{1, ""}, {-1, ""}}},
        {"leading blanks dropped, trailing kept", "  N:A B  \n", {{1, "N:A B  "}, {-1, ""}}},
        {"last token without line end", "A\nB", {{1, "A"}, {2, "B"}, {-1, ""}}},
        {"empty file", "", {{-1, ""}}},
        {"only whitespace", " \t\n\r\n  \n", {{-1, ""}}},
        {"blank line between", "A\n\nB\n", {{1, "A"}, {3, "B"}, {-1, ""}}},
        {"CR LF line ends", "A\r\nB\r\n", {{1, "A"}, {2, "B"}, {-1, ""}}},
        {"CR alone separates but does not count",
         "A\rB\rC\n",
         {{1, "A"}, {1, "B"}, {1, "C"}, {-1, ""}}},
    };
    for (const auto& c : cases) EXPECT_EQ(Tokens(c.input), c.expected) << c.name;
}

TEST(RecordReaderTest, Escapes) {
    struct Case {
        std::string input;
        Tok expected;
    } cases[] = {
        {"N:50%25\n", {{1, "N:50%"}, {-1, ""}}},
        {"N:%41%62\n", {{1, "N:Ab"}, {-1, ""}}},
        {"N:%4g\n", {{1, std::string("N:\x04", 3)}, {-1, ""}}},  // "g" is taken by the escape
        {"N:%4\n", {{-1, ""}}},                                  // escape cut by a line end
        {"N:%,B\n", {{-1, ""}}},                                 // cut by a comma at once
        {"N:%2C%0a\n", {{1, "N:,\n"}, {-1, ""}}},
        {"N:% 9\n", {{1, "N:\t"}, {-1, ""}}},  // strtoul skips the blank
        {"N:%zz\n", {{1, std::string("N:\0", 3)}, {-1, ""}}},
    };
    for (const auto& c : cases) EXPECT_EQ(Tokens(c.input), c.expected) << c.input;
}

TEST(RecordReaderTest, EscapeCutByEndOfInputKeepsWhatArrived) {
    EXPECT_EQ(Tokens("N:%"), (Tok{{1, "N:"}, {-1, ""}}));
    EXPECT_EQ(Tokens("N:%4"), (Tok{{1, "N:\x04"}, {-1, ""}}));
}

TEST(RecordReaderTest, EscapeCutAfterFirstDigitCountsTheLine) {
    FILE* f = OpenBytesAsFile("N:%4\nB\n");
    CRecordReader reader(f);
    std::string token;
    EXPECT_EQ(reader.ReadToken(token), -1);
    EXPECT_TRUE(token.empty());
    EXPECT_EQ(reader.ReadToken(token), 2);
    EXPECT_EQ(token, "B");
    fclose(f);
}

TEST(RecordReaderTest, LongTokenLosesOneByte) {
    std::string input;
    for (int i = 0; i < 40000; ++i) input.push_back(static_cast<char>('a' + i % 26));
    input += "\n";
    const Tok tokens = Tokens(input);
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0].second, input.substr(0, 32768));
    EXPECT_EQ(tokens[1].second, input.substr(32769, 40000 - 32769));  // byte 32769 is lost
    EXPECT_EQ(tokens[2].first, -1);
}

TEST(RecordReaderTest, TokenOfExactlyTheLimitIsWhole) {
    std::string input(32768, 'x');
    input += ",y\n";
    EXPECT_EQ(Tokens(input), (Tok{{1, std::string(32768, 'x')}, {1, "y"}, {-1, ""}}));
}

TEST(RecordReaderTest, LinesPastTheReportableRangeStayTokens) {
    // Past 2^31 lines (a 2 GB file) a token's line must not turn into the "no token" -1.
    const std::string text = "A\nB\n\nC,D\n-E\n";
    FILE* f = OpenBytesAsFile(text);
    CRecordReader reader;
    reader.Attach(f, INT32_MAX - 1);
    int32_t failedAt = 0;
    const CRecordReader::Listener listener = [&](int32_t line, const std::string&) {
        failedAt = line;
    };
    reader.SetListener(&listener);
    const Tok expected = {{INT32_MAX - 1, "A"},
                          {INT32_MAX, "B"},
                          {INT32_MAX, "C"},
                          {INT32_MAX, "D"},
                          {INT32_MAX, "-E"}};
    Tok got;
    std::string token;
    for (int32_t line; (line = reader.ReadToken(token)) != -1;) got.emplace_back(line, token);
    EXPECT_EQ(got, expected);
    reader.Fail("at the end");
    EXPECT_EQ(failedAt, INT32_MAX);
    EXPECT_EQ(reader.Line(), INT32_MAX);
    fclose(f);
}

TEST(RecordReaderTest, SkipToTokenIgnoresNesting) {
    const std::string text = "+XYZ,+XYZ,-XYZ,A,-XYZ,B\n";
    FILE* f = OpenBytesAsFile(text);
    CRecordReader reader(f);
    std::string token;
    reader.ReadToken(token);
    EXPECT_TRUE(SkipNestedRecord(reader, token));
    reader.ReadToken(token);
    EXPECT_EQ(token, "A");
    EXPECT_FALSE(reader.SkipToToken("-NOPE"));
    fclose(f);
}

TEST(RecordReaderTest, DataTokenSplitAndNumbers) {
    std::string key, value;
    EXPECT_TRUE(SplitDataToken("N:a:b", key, value));
    EXPECT_EQ(key, "N");
    EXPECT_EQ(value, "a:b");
    EXPECT_TRUE(SplitDataToken("X:", key, value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(SplitDataToken(":X", key, value));
    EXPECT_FALSE(SplitDataToken("plain", key, value));

    struct Case {
        const char* text;
        int32_t value;
    } nums[] = {
        {"42", 42},         {" -7x", -7}, {"+3", 3}, {"", 0}, {"abc", 0}, {"2147483647", INT32_MAX},
        {"4294967295", -1}, {"-0", 0}};
    for (const auto& n : nums) EXPECT_EQ(ParseInt(n.text), n.value) << n.text;
}

TEST(RecordReaderTest, FailReportsFirstReasonWithLine) {
    const std::string text = "A\nB\n";
    FILE* f = OpenBytesAsFile(text);
    CRecordReader reader(f);
    std::vector<std::pair<int32_t, std::string>> seen;
    const CRecordReader::Listener listener = [&](int32_t line, const std::string& why) {
        seen.emplace_back(line, why);
    };
    std::string token;
    EXPECT_FALSE(reader.Fail("nobody listens"));
    reader.SetListener(&listener);
    reader.ReadToken(token);
    EXPECT_FALSE(reader.Fail("inner"));
    EXPECT_FALSE(reader.Fail("outer"));
    EXPECT_EQ(seen, (Tok{{1, "inner"}}));  // the line of the token given up on
    fclose(f);
}

TEST(RecordWriterTest, EscapesAndSeparators) {
    std::string out;
    CRecordWriter w(&out);
    EXPECT_TRUE(w.AtLineStart());
    EXPECT_EQ(w.WriteToken("+PIN"), 0);
    EXPECT_EQ(w.WriteKeyValue("N", "a,b c%"), 0);
    EXPECT_EQ(w.WriteKeyInt("X", -12), 0);
    EXPECT_EQ(w.EndLine(), 0);
    EXPECT_EQ(w.WriteKeyValue("T", std::string("\x01\x7F\xFF\t", 4)), 0);
    EXPECT_EQ(w.EndLine(), 0);
    EXPECT_EQ(out, "+PIN,N:a%2Cb%20c%25,X:-12\nT:%01\x7F\xFF%09\n");
}

TEST(RecordWriterTest, WithoutTargetEveryWriteFails) {
    CRecordWriter w;
    EXPECT_EQ(w.WriteToken("A"), -1);
    EXPECT_EQ(w.EndLine(), -1);
}

// The first count tokens of text (-1 for none) read in blocks of blockSize bytes (0: from
// memory, in one piece).
Tok TokensInBlocks(const std::string& text, size_t blockSize, size_t count) {
    Tok out;
    FILE* f = nullptr;
    CRecordReader reader;
    if (blockSize == 0) {
        reader.AttachBytes(text);
    } else {
        f = OpenBytesAsFile(text);
        reader.Attach(f, 1, blockSize);
    }
    std::string token;
    while (out.size() < count) {
        const int32_t line = reader.ReadToken(token);
        out.emplace_back(line, token);
    }
    if (f) fclose(f);
    return out;
}

TEST(RecordReaderTest, BlockEdgesAndMemoryReadLikeOneStream) {
    using namespace std::string_literals;
    const std::string limit(CRecordReader::MAX_TOKEN_LENGTH, 'x');
    struct Case {
        const char* name;
        std::string input;
        Tok expected;
    };
    const Case cases[] = {
        {"plain tokens over every edge",
         "+PTN,N:NAND,X:40\n-PTN\n",
         {{1, "+PTN"}, {1, "N:NAND"}, {1, "X:40"}, {2, "-PTN"}, {-1, ""}}},
        {"escape split anywhere", "N:a%41b%2C\nM:%7", {{1, "N:aAb,"}, {2, "M:\x07"}, {-1, ""}}},
        {"CR LF split: one line counted",
         "A\r\nB\r\n\r\nC",
         {{1, "A"}, {2, "B"}, {4, "C"}, {-1, ""}}},
        {"blanks and blank lines before a token",
         "  \t\n \n\t X,Y",
         {{3, "X"}, {3, "Y"}, {-1, ""}}},
        {"escape cut by a separator, then on",
         "N:%4\nB,N:%,C\n",
         {{-1, ""}, {2, "B"}, {-1, ""}, {2, "C"}, {-1, ""}}},
        {"end of input inside an escape", "A,N:%4", {{1, "A"}, {1, "N:\x04"}, {-1, ""}}},
        {"end of input just after the mark", "A,N:%", {{1, "A"}, {1, "N:"}, {-1, ""}}},
        {"raw NUL bytes stay in the token", "N:a\0b,\0\n"s, {{1, "N:a\0b"s}, {1, "\0"s}, {-1, ""}}},
        {"a token of exactly the limit", limit + ",y", {{1, limit}, {1, "y"}, {-1, ""}}},
        {"one byte over the limit is lost", limit + "zy\n", {{1, limit}, {1, "y"}, {-1, ""}}},
        {"the limit reached by escapes",
         limit.substr(2) + "%41%42,y",
         {{1, limit.substr(2) + "AB"}, {1, "y"}, {-1, ""}}},
        {"the limit at the end of input", limit, {{1, limit}, {-1, ""}}},
        {"last token without a separator", "A\nB", {{1, "A"}, {2, "B"}, {-1, ""}}},
    };
    // 0 reads from memory; 1 to 7 put an edge inside every token; the default, none.
    const size_t sizes[] = {0, 1, 2, 3, 4, 7, 4096, CRecordReader::DEFAULT_BLOCK_SIZE};
    for (const Case& c : cases) {
        for (const size_t size : sizes) {
            EXPECT_EQ(TokensInBlocks(c.input, size, c.expected.size()), c.expected)
                << c.name << ", block " << size;
        }
    }
}

// What the record loop reads: each token with its line and shape (none for -1), up to
// the second -1 in a row (an escape cut by a separator gives one and reading goes on),
// read in blocks of blockSize bytes (0: from memory held in a buffer of exactly its size,
// so that a look past the input is caught under AddressSanitizer). plain: the reads
// without the shape, whose shape is then found by a second look at the token.
struct ShapedToken {
    int32_t line;
    std::string token;
    size_t colon;
    bool hasNul;
    bool operator==(const ShapedToken&) const = default;
};
std::vector<ShapedToken> ShapedTokens(const std::string& text, size_t blockSize, bool plain) {
    std::vector<ShapedToken> out;
    const std::unique_ptr<char[]> exact = std::make_unique<char[]>(text.size());
    std::copy(text.begin(), text.end(), exact.get());
    FILE* f = nullptr;
    CRecordReader reader;
    if (blockSize == 0) {
        reader.AttachBytes(std::string_view(exact.get(), text.size()));
    } else {
        f = OpenBytesAsFile(text);
        reader.Attach(f, 1, blockSize);
    }
    std::string_view token;
    TokenShape shape;
    while (out.size() < 2 || out.back().line != -1 || out[out.size() - 2].line != -1) {
        const int32_t line = plain ? reader.ReadToken(token) : reader.ReadToken(token, shape);
        if (plain) shape = TokenShape::Of(token);
        if (line == -1) shape = TokenShape{0, false};
        out.push_back({line, std::string(token), shape.colon, shape.hasNul});
    }
    if (f) fclose(f);
    return out;
}

TEST(RecordReaderTest, ShapedReadsFindWhatASecondLookFinds) {
    using namespace std::string_literals;
    std::string manyShort;  // one long line of short tokens
    for (int i = 0; i < 500; ++i) manyShort += "X:" + std::to_string(i) + ",";
    const std::string overLimit(CRecordReader::MAX_TOKEN_LENGTH + 3, 'k');
    const std::pair<const char*, std::string> cases[] = {
        {"short data tokens and tags", "+L,W:1,X:20,Y:-5,-L\n"},
        {"colon at the first and the 15th byte", ":23456789012345,2345678901234:,x"},
        {"tokens of 15, 16 and 17 bytes", "N:3456789012345,N:34567890123456,N:345678901234567\n"},
        {"last token without a line end", "A:1,B:2"},
        {"last token one byte long", "A:1,B"},
        {"CR LF line ends and a blank line", "A:1\r\nB:2\r\n\r\nC:3\r\n"},
        {"NULs in keys and values", "N\0:a,N:a\0b,\0\0\0:,\0\n"s},
        {"escapes good and odd", "N:a%41b%2c,N:%4G,N:%2,x\nN:%3A,N:%"},
        {"blanks and control bytes before tokens",
         "  A:1,\tB:2,\x01"
         "C:3\n"},
        {"empty tokens", ",,\n,A:,:"},
        {"a long line of short tokens", manyShort},
        {"a token over the length limit", overLimit + ",N:1"},
        // The 64-byte windows of masks: tokens that end on, before and after a window's
        // last byte, and inputs that end there.
        {"tokens of 62, 63 and 64 bytes", "N:" + std::string(60, 'a') +
                                              ",N:" + std::string(61, 'b') +
                                              ",N:" + std::string(62, 'c') + "\n"},
        {"a colon past the window", std::string(63, 'k') + ":1,A:2,"},
        {"a NUL past the window, then one inside", std::string(70, 'n') + ",A\0:1,B:\0,C:3\n"s},
        {"input of exactly one window", std::string(62, 'x') + ",y"},
        {"input of a window and one byte", std::string(63, 'x') + ",y"},
        {"an escape as a window's last byte", std::string(61, 'x') + ",N%41,B\n"},
    };
    // 0 reads from memory; 1, 7 and 17 put block edges in and beside the 16-byte scans;
    // 63, 64 and 65 in and beside the windows.
    for (const auto& [name, text] : cases) {
        const std::vector<ShapedToken> expected = ShapedTokens(text, 0, true);
        for (const size_t size : {0, 1, 7, 17, 63, 64, 65, 4096}) {
            EXPECT_EQ(ShapedTokens(text, size, false), expected) << name << ", block " << size;
        }
    }
}

TEST(RecordReaderTest, WindowMasksAgreeWhicheverWayTheyAreFound) {
    // Each byte the masks tell apart, and a neighbour of each, at every place of a window
    // in a buffer of exactly its size (a read past it shows under AddressSanitizer).
    const char bytes[] = {',', '\n', '\r', '%', '\0', ':', 'a', '+', '\x80', '\xff', ' ', '9'};
    const auto window = std::make_unique<char[]>(ByteMasks::WIDTH);
    for (const char b : bytes) {
        for (size_t at = 0; at < ByteMasks::WIDTH; ++at) {
            std::fill_n(window.get(), ByteMasks::WIDTH, 'x');
            window[at] = b;
            window[ByteMasks::WIDTH - 1 - at] = static_cast<char>(b + 1);
            const ByteMasks each = ByteMasks::By(ByteMasks::Scan::EachByte, window.get());
            EXPECT_TRUE(ByteMasks::Of(window.get()) == each)
                << "byte " << static_cast<int>(b) << " at " << at;
            for (const ByteMasks::Scan scan : {ByteMasks::Scan::Sse2, ByteMasks::Scan::Avx2}) {
                if (!ByteMasks::Has(scan)) continue;
                EXPECT_TRUE(ByteMasks::By(scan, window.get()) == each)
                    << "scan " << static_cast<int>(scan) << ", byte " << static_cast<int>(b)
                    << " at " << at;
            }
            const bool stop = b == ',' || b == '\n' || b == '\r' || b == '%' || b == '\0';
            EXPECT_EQ((each.stops >> at) & 1, stop ? 1u : 0u) << static_cast<int>(b);
            EXPECT_EQ((each.colons >> at) & 1, b == ':' ? 1u : 0u) << static_cast<int>(b);
        }
    }
}

TEST(RecordReaderTest, ViewsPointIntoTheInputUnlessEscaped) {
    const std::string text = "AB,C%44,EF";
    CRecordReader reader;
    reader.AttachBytes(text);
    std::string_view token;
    const auto inInput = [&] {
        return token.data() >= text.data() &&
               token.data() + token.size() <= text.data() + text.size();
    };
    ASSERT_EQ(reader.ReadToken(token), 1);
    EXPECT_EQ(token, "AB");
    EXPECT_TRUE(inInput());
    ASSERT_EQ(reader.ReadToken(token), 1);
    EXPECT_EQ(token, "CD");
    EXPECT_FALSE(inInput());  // decoded into the reader's own buffer
    ASSERT_EQ(reader.ReadToken(token), 1);
    EXPECT_EQ(token, "EF");
    EXPECT_EQ(reader.ReadToken(token), -1);
    EXPECT_TRUE(token.empty());
}

TEST(RecordReaderTest, NumbersFromViewsEndAtTheView) {
    struct Case {
        std::string_view text;
        int32_t value;
    };
    const Case cases[] = {
        {std::string_view("123456", 3), 123},   // the bytes after the view are not read
        {std::string_view("-", 1), 0},          // a sign and no digits
        {std::string_view(" \t\n+12", 6), 12},  // blanks, then a sign
        {std::string_view("  ", 2), 0},         // only blanks
        {std::string_view("7\0"
                          "8",
                          3),
         7},  // a NUL ends the number as in a text
        {std::string_view("-2147483648", 11), INT32_MIN},
        {std::string_view("4294967297", 10), 1},  // wraps to 32 bits
        {std::string_view("99999999999", 11), 1215752191},
        {std::string_view(), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseInt(c.text), c.value) << c.text;
}

TEST(RecordWriterTest, RoundTripsEveryByte) {
    std::string value;
    for (int b = 1; b < 256; ++b) value.push_back(static_cast<char>(b));
    std::string out;
    CRecordWriter w(&out);
    w.WriteKeyValue("V", value);
    w.WriteToken("");
    w.WriteToken("  lead");
    w.EndLine();
    EXPECT_EQ(Tokens(out), (Tok{{1, "V:" + value}, {1, ""}, {1, "  lead"}, {-1, ""}}));
}

TEST(RecordWriterTest, WritesToFile) {
    FILE* f = tmpfile();
    ASSERT_NE(f, nullptr);
    CRecordWriter w(f);
    w.WriteToken("+A");
    w.WriteKeyValue("K", "v");
    w.EndLine();
    rewind(f);
    char buf[32] = {};
    const size_t n = fread(buf, 1, sizeof buf - 1, f);
    EXPECT_EQ(std::string(buf, n), "+A,K:v\n");
    fclose(f);
}

TEST(RecordWriterTest, LongTokensAndCutsWriteTheSameToFileAndMemory) {
    using namespace std::string_literals;
    // Escapes around every place where the writer may hand a piece over.
    std::string long_;
    for (int i = 0; i < 700; ++i) long_ += (i % 85 == 84) ? ',' : static_cast<char>('a' + i % 26);
    struct Case {
        const char* name;
        std::string key;  // empty: value written as a token
        std::string value;
        std::string written;
    };
    std::string longWritten;
    for (const char c : long_) longWritten += c == ',' ? "%2C" : std::string(1, c);
    const Case cases[] = {
        {"a long token with escapes", "", long_, longWritten},
        {"a long value", "K", long_, "K:" + longWritten},
        {"a NUL ends a token", "", "ab\0cd"s, "ab"},
        {"a NUL in the value ends it", "K", "a\0b"s, "K:a"},
        {"a NUL in the key drops the rest", "K\0J"s, "v", "K"},
        {"blanks, percent and control bytes", "", " %\x01\x7f", "%20%25%01\x7f"},
    };
    for (const Case& c : cases) {
        std::string memory;
        CRecordWriter toMemory(&memory);
        FILE* f = tmpfile();
        ASSERT_NE(f, nullptr);
        CRecordWriter toFile(f);
        for (CRecordWriter* w : {&toMemory, &toFile}) {
            w->WriteToken("+A");
            EXPECT_EQ(c.key.empty() ? w->WriteToken(c.value) : w->WriteKeyValue(c.key, c.value), 0)
                << c.name;
        }
        rewind(f);
        std::string file(memory.size() + 8, '\0');
        file.resize(fread(file.data(), 1, file.size(), f));
        fclose(f);
        EXPECT_EQ(memory, "+A," + c.written) << c.name;
        EXPECT_EQ(file, memory) << c.name;
    }
    CRecordWriter none;
    EXPECT_EQ(none.WriteKeyInt("X", 5), -1);  // no target
}

}  // namespace
}  // namespace qurix
