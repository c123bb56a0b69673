#include "log/log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = ::testing::TempDir() + "mfp_log_test_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";
        std::remove(path.c_str());
        log.SetFileName(path);
    }
    void TearDown() override { std::remove(path.c_str()); }

    std::vector<std::string> Lines() const {
        std::ifstream in(path);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    std::string path;
    CLog log;
};

// While disabled only level 3 is written; a message of more than 499 characters is dropped.
TEST_F(LogTest, WhatIsWritten) {
    struct Case { bool enabled; int level; size_t length; bool written; };
    const Case cases[] = {{false, 0, 5, false}, {false, 1, 5, false}, {false, 2, 5, false}, {false, -1, 5, false},
                          {false, 3, 5, true},  {true, 0, 0, true},   {true, 2, 499, true},  {true, 0, 500, false},
                          {true, 3, 2000, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.enabled << " level " << c.level << " length " << c.length);
        std::remove(path.c_str());
        log.Enable(c.enabled);
        log.Write(c.level, "MFP", "%s", std::string(c.length, 'x').c_str());
        EXPECT_EQ(std::ifstream(path).good(), c.written) << "a dropped line leaves no file behind";
        const auto lines = Lines();
        ASSERT_EQ(lines.size(), c.written ? 1u : 0u);
        for (const std::string& line : lines) EXPECT_EQ(line.size() - line.rfind("] ") - 2, c.length);
    }
}

// Lines are appended to what the file holds, never replacing it.
TEST_F(LogTest, LineHasDateTimeLevelPaddedModuleAndMessage) {
    { std::ofstream(path) << "earlier line\n"; }
    log.Enable(true);
    log.Write(0, "MFP", "module_init called\n");
    log.Write(2, "MFPWorker", "value %d and %s\n", 42, "text");
    log.Write(0, "AModuleNameLongerThanTwentyFiveCharacters", "whole\n");
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "earlier line");
    const std::string stamp = R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d )";
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(stamp + R"(0 \[ {22}MFP\] module_init called)"))) << lines[1];
    EXPECT_TRUE(std::regex_match(lines[2], std::regex(stamp + R"(2 \[ {16}MFPWorker\] value 42 and text)"))) << lines[2];
    EXPECT_TRUE(std::regex_match(lines[3], std::regex(stamp + R"(0 \[AModuleNameLongerThanTwentyFiveCharacters\] whole)")))
        << lines[3];
}

// A file that cannot be opened loses its line and nothing else: the next line is written.
TEST_F(LogTest, UnopenableFileLosesOnlyItsLine) {
    log.SetFileName(::testing::TempDir() + "no/such/folder/x.log");
    log.Enable(true);
    log.Write(0, "MFP", "lost\n");
    log.SetFileName(path);
    log.Write(0, "MFP", "kept\n");
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_NE(Lines()[0].find("] kept"), std::string::npos);
}

TEST_F(LogTest, ConcurrentWritersNeverMixLines) {
    log.Enable(true);
    constexpr int kThreads = 4;
    constexpr int kLinesEach = 200;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([this, t] {
            const std::string payload(100 + t * 50, static_cast<char>('a' + t));
            for (int i = 0; i < kLinesEach; ++i) log.Write(0, "MFPWorker", "%d %s\n", t, payload.c_str());
        });
    }
    for (auto& w : writers) w.join();

    const auto lines = Lines();
    ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kLinesEach));
    for (const auto& line : lines) {
        const size_t start = line.find("] ") + 2;
        const int t = line[start] - '0';
        ASSERT_TRUE(t >= 0 && t < kThreads) << line;
        EXPECT_EQ(line.substr(start + 2), std::string(100 + t * 50, static_cast<char>('a' + t)));
    }
}

}  // namespace
