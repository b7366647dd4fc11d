#include "vxSectionText.h"
#include "vxTextFile.h"
#include "vxTestSupport.h"

#include <atomic>
#include <chrono>
#include <clocale>
#include <cmath>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace vxSectionText;

TEST(SectionText, LinesSplitOnlyAtCrLf)
{
    auto l = splitLines("a\r\nb\nc\rd\r\n");
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[0], "a");
    EXPECT_EQ(l[1], "b\nc\rd");
    EXPECT_EQ(l[2], "");
    EXPECT_EQ(splitLines("").size(), 1u);
}

TEST(SectionText, KeyAndValue)
{
    std::string key;
    std::string_view value;
    splitKeyValue("count=7=9", key, value);
    EXPECT_EQ(key, "COUNT");
    EXPECT_EQ(value, "7");
    splitKeyValue("NAME = x", key, value);
    EXPECT_EQ(key, "NAME ");
    EXPECT_EQ(value, " x");
    splitKeyValue("no equals", key, value);
    EXPECT_EQ(key, "");
    EXPECT_EQ(value, "");
    splitKeyValue("Name=MiXed", key, value);
    EXPECT_EQ(value, "MiXed");
}

TEST(SectionText, IntegerConversion)
{
    EXPECT_EQ(toInteger("12abc"), 12);
    EXPECT_EQ(toInteger("  -42"), -42);
    EXPECT_EQ(toInteger("+7"), 7);
    EXPECT_EQ(toInteger("abc"), 0);
    EXPECT_EQ(toInteger("2,7"), 2);
    EXPECT_EQ(toInteger("4294967295"), 2147483647);
    EXPECT_EQ(toInteger("-99999999999999999999"), -2147483648);
    EXPECT_EQ(toInteger("-2147483648"), -2147483648);
    EXPECT_EQ(toInteger("2147483647"), 2147483647);
    EXPECT_EQ(toInteger(""), 0);
    EXPECT_EQ(toInteger("- 5"), 0);
}

TEST(SectionText, DecimalConversion)
{
    EXPECT_EQ(toDecimal("1,25"), 1.25f);
    EXPECT_EQ(toDecimal("1.25"), 1.25f);
    EXPECT_EQ(toDecimal("12,5"), 12.5f);
    EXPECT_EQ(toDecimal("abc"), 0.0f);
    EXPECT_EQ(toDecimal(" -3.5e2xyz"), -350.0f);
    EXPECT_EQ(toDecimal("1e"), 1.0f);
    EXPECT_EQ(toDecimal(".5"), 0.5f);
    EXPECT_EQ(toDecimal("5."), 5.0f);
    EXPECT_EQ(toDecimal("1,2,3"), 1.2f);
    EXPECT_EQ(toDecimal("0.1"), 0.1f);
    EXPECT_TRUE(std::isinf(toDecimal("1e40")));
    EXPECT_GT(toDecimal("1e40"), 0.0f);
    EXPECT_TRUE(std::isinf(toDecimal("-1e400")));
    EXPECT_LT(toDecimal("-1e400"), 0.0f);
    EXPECT_EQ(toDecimal("1e-60"), 0.0f);
    EXPECT_EQ(toDecimal("inf"), 0.0f);
    EXPECT_EQ(toDecimal("nan"), 0.0f);
    EXPECT_EQ(toDecimal("0x10"), 0.0f);
}

TEST(SectionText, DecimalIgnoresCommaDecimalLocale)
{
    const char* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 locale is not installed";
    EXPECT_EQ(toDecimal("1.25"), 1.25f);
    EXPECT_EQ(toDecimal("1,25"), 1.25f);
    EXPECT_EQ(toDecimal("-0.5e1"), -5.0f);
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(SectionText, NumberedHeaders)
{
    EXPECT_EQ(numberedHeaderIndex("[PART3]", "[PART"), 2);
    EXPECT_EQ(numberedHeaderIndex("[PART12]", "[PART"), 11);
    EXPECT_EQ(numberedHeaderIndex("[PART12", "[PART"), 0); // last character is excluded
    EXPECT_EQ(numberedHeaderIndex("[PART3", "[PART"), std::nullopt);
    EXPECT_EQ(numberedHeaderIndex("[CHILD3]", "[CHILD"), 2);
    EXPECT_EQ(numberedHeaderIndex("[CHILDS]", "[CHILD"), -1);
    EXPECT_EQ(numberedHeaderIndex("[CONNECTIONS]", "[CONN"), -1);
    EXPECT_EQ(numberedHeaderIndex("[TUBE0]", "[TUBE"), -1);
    EXPECT_EQ(numberedHeaderIndex("[PART-2147483648]", "[PART"), INT32_MIN);
}

TEST(SectionText, PlainPassSectionRules)
{
    std::string text = vxTest::crlf({"A=before", "[Common]", "A=1", "", "A=2", "[COMMON] ", "A=3",
                                     "[OTHER]", "A=4", "[camera]", "a=5", "[COMMON]", "A=6"});
    std::vector<std::pair<int, std::string>> seen;
    runPlainPass(std::optional<std::string>(text), {"[CAMERA]", "[COMMON]"}, {1, 2}, 0,
                 [&](int s, const std::string& k, std::string_view v) {
                     if (k == "A")
                         seen.emplace_back(s, std::string(v));
                 });
    std::vector<std::pair<int, std::string>> expected = {
        {0, "before"}, {2, "1"}, {2, "2"}, {1, "5"}, {2, "6"}};
    EXPECT_EQ(seen, expected);
}

TEST(SectionText, NullTextAndLfOnlyYieldNothing)
{
    int calls = 0;
    auto count = [&](int, const std::string&, std::string_view) { ++calls; };
    runPlainPass(std::nullopt, {"[COMMON]"}, {1}, 1, count);
    runNumberedPass(std::nullopt, "[PART", 0, count);
    EXPECT_EQ(calls, 0);
    // LF-only: one line whose key is everything before the first "=".
    std::string seenKey;
    runNumberedPass(std::optional<std::string>("[PART1]\nNAME=x\n"), "[PART", 0,
                    [&](int, const std::string& k, std::string_view) { seenKey = k; });
    EXPECT_EQ(seenKey, "[PART1]\nNAME"); // matches no key
}

TEST(SectionText, NumberedPassKeepsElementAcrossEmptyLines)
{
    std::string text = vxTest::crlf({"K=a", "[PART2]", "K=b", "", "K=c", "[PART3", "K=d", "[PART1]", "K=e"});
    std::vector<std::pair<int, std::string>> seen;
    runNumberedPass(std::optional<std::string>(text), "[PART", 0,
                    [&](int i, const std::string&, std::string_view v) { seen.emplace_back(i, std::string(v)); });
    std::vector<std::pair<int, std::string>> expected = {{0, "a"}, {1, "b"}, {1, "c"}, {0, "e"}};
    EXPECT_EQ(seen, expected);
}

TEST(TextFile, Windows1252IsCarriedAsUtf8)
{
    EXPECT_EQ(decodeWindows1252("abc"), "abc");
    EXPECT_EQ(decodeWindows1252("M\xfc\x64\x65"), "M\xc3\xbc" "de");
    EXPECT_EQ(decodeWindows1252("\x80"), "\xe2\x82\xac");
    EXPECT_EQ(decodeWindows1252("\x81"), "\xc2\x81");
}

TEST(TextFile, ReadsUpToTheSizeLimitAndOddNamesAndLinks)
{
    vxTest::TempDir dir;
    vxTest::writeFile(dir.file("big"), std::string(101, 'x'));
    auto r = readWholeFile(dir.file("big"), 100);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("too large"), std::string::npos);
    r = readWholeFile(dir.file("big"), 101);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.data.size(), 101u);
    vxTest::writeFile(dir.file("empty"), "");
    r = readWholeFile(dir.file("empty"), 100);
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.data.empty());

    const std::string odd = dir.file("M\xc3\xb6" "dell mit Leerzeichen \xe2\x82\xac.kmf");
    vxTest::writeFile(odd, "[COMMON]\r\n");
    r = readWholeFile(odd, 100);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.data, "[COMMON]\r\n");
    // A symbolic link to a regular file is read; a dangling one is an error.
    ASSERT_EQ(::symlink(odd.c_str(), dir.file("link.kmf").c_str()), 0);
    EXPECT_TRUE(readWholeFile(dir.file("link.kmf"), 100).ok);
    ASSERT_EQ(::symlink(dir.file("nowhere").c_str(), dir.file("dangling.kmf").c_str()), 0);
    EXPECT_FALSE(readWholeFile(dir.file("dangling.kmf"), 100).ok);
}

TEST(TextFile, AFifoIsRefusedWithoutBeingOpened)
{
    // A writer waits in open() until the FIFO is opened for reading: had the
    // reader opened it, the writer would be released.
    vxTest::TempDir dir;
    const std::string fifo = dir.file("pipe.kmf");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::atomic<bool> released{false};
    std::thread writer([&] {
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
        released = true;
        if (fd >= 0)
            ::close(fd);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto r = readWholeFile(fifo, 100);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("not a regular file"), std::string::npos) << r.error;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(released) << "reading opened the FIFO";
    const int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    writer.join();
    if (fd >= 0)
        ::close(fd);
}

TEST(TextFile, AFileLongerThanItsStatedSizeIsReadUpToTheLimit)
{
    // Files of /proc state a size of 0 and have content, as a file that
    // grows after it was opened does.
    struct stat st {};
    if (::stat("/proc/self/status", &st) != 0 || st.st_size != 0)
        GTEST_SKIP() << "no /proc";
    auto r = readWholeFile("/proc/self/status", 1 << 20);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_NE(r.data.find("Name:"), std::string::npos);
    r = readWholeFile("/proc/self/status", 16);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("too large"), std::string::npos) << r.error;
}
