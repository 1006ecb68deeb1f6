// Text-file lines and the framework's line reader, on real files.
#include "files/scratch.h"
#include "support/test_host.h"

#if defined(_WIN32)
#include "files/win32_writer.h"
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

using Lines = std::vector<std::string>;

// The lines as stored, NUL bytes and all.
Lines Stored(const CStringArray& array) {
    Lines out;
    for (INT_PTR i = 0; i < array.GetSize(); ++i) out.emplace_back(array[i], array[i].GetLength());
    return out;
}

class TextFile : public ScratchTest {};

TEST_F(TextFile, LinesAreAppendedAsTheFileHoldsThem) {
    const std::string bom = "\xEF\xBB\xBF";
    const struct {
        const char* label;
        std::string content;
        int options;
        Lines before;  // what the array holds already
        Lines after;
    } rows[] = {
        {"EmptyFile", "", 0, {}, {}},
        {"CountIncludesEarlierElements", "a\nb\nc\n", 0, {"x", "y"}, {"x", "y", "a", "b", "c"}},
        {"CrLfEndsALine", "a\r\nb\r\n", 0, {}, {"a", "b"}},
        {"LastLineWithoutEnd", "a\nb", 0, {}, {"a", "b"}},
        {"EmptyLinesAreLines", "\n\r\n", 0, {}, {"", ""}},
        {"DropEmpty", "\n\r\nx\n", 1, {"kept"}, {"kept", "x"}},
        {"SpacesAreNotEmpty", "   \n", 1, {}, {"   "}},
        {"TrimThenDrop", "   \n\t x \r\n", 3, {}, {"x"}},
        {"TrimKeepsTheEmptyLine", "   \n", 2, {}, {""}},
        {"OtherBitsIgnored", " a \n\n", 4 | 8 | 64, {}, {" a ", ""}},
        {"ByteOrderMarkStays", bom + "first\nsecond\n", 0, {}, {bom + "first", "second"}},
        {"LoneCrStays", "a\rb\nc\r", 0, {}, {"a\rb", "c\r"}},
        {"OnlyTheCrBeforeTheLfGoes", "a\r\r\n", 0, {}, {"a\r"}},
        {"ControlZIsAByte", "a\032b\n", 0, {}, {"a\032b"}},
        {"NulBytesReachTheLine", std::string("a\0b\n", 4), 0, {}, {std::string("a\0b", 3)}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        Write("in.txt", row.content);
        CStringArray lines;
        for (const auto& s : row.before) lines.Add(s.c_str());
        EXPECT_EQ(kxuReadTextFileLines(Lib("in.txt").c_str(), &lines, row.options),
                  static_cast<int>(row.after.size()));
        EXPECT_EQ(Stored(lines), row.after);
    }
}

// 65535 is the last byte of a block for every power-of-two block size up to
// 64 KiB, so these lengths put the CR, the LF, or both across a block edge.
TEST_F(TextFile, LinesAcrossBlockEdges) {
    for (int length : {65534, 65535, 65536, 65537, 200000}) {
        SCOPED_TRACE(length);
        Write("long.txt", std::string(length, 'x') + "\r\nend\r\n");
        CStringArray lines;
        ASSERT_EQ(kxuReadTextFileLines(Lib("long.txt").c_str(), &lines, 0), 2);
        EXPECT_EQ(lines[0].GetLength(), length);
        EXPECT_STREQ(lines[1], "end");
    }
}

// -1 for what cannot be opened, with the array untouched; the framework's
// open tells why.
TEST_F(TextFile, WhatCannotBeOpened) {
    Write("in.txt", "x\n");
    fs::create_directories(At("folder"));
    CStringArray lines;
    lines.Add("before");
    EXPECT_EQ(kxuReadTextFileLines(Lib("missing.txt").c_str(), &lines, 0), -1);
    EXPECT_EQ(kxuReadTextFileLines(Lib("folder").c_str(), &lines, 0), -1);
    EXPECT_EQ(ToVector(lines), Lines{"before"});
    CStdioFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(Lib("missing.txt").c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_STREQ(error.m_strFileName, Lib("missing.txt").c_str());
    EXPECT_FALSE(file.Open(Lib("in.txt").c_str(), CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::genericException);
    EXPECT_EQ(Read("in.txt"), "x\n");
}

#if defined(_WIN32)

// Sharing modes are the system's: a writer that is in keeps the reader out.
TEST_F(TextFile, AFileBeingWrittenIsRefused) {
    Write("busy.txt", "x\n");
    CStringArray lines;
    void* writer = OpenForWriting(At("busy.txt").string().c_str());
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(kxuReadTextFileLines(Lib("busy.txt").c_str(), &lines, 0), -1);
    CloseWriter(writer);
    EXPECT_EQ(kxuReadTextFileLines(Lib("busy.txt").c_str(), &lines, 0), 1);
}

#else

TEST_F(TextFile, AFileBeingWrittenIsRefused) {
    Write("busy.txt", "x\n");
    const std::string path = At("busy.txt").string();
    CStringArray lines;
    int writer = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    int probe = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const bool leases = fcntl(probe, F_SETLEASE, F_RDLCK) == 0 || errno == EAGAIN;
    close(probe);
    if (leases) {  // a file system without leases cannot tell that a writer is in
        EXPECT_EQ(kxuReadTextFileLines(Lib("busy.txt").c_str(), &lines, 0), -1);
    }
    close(writer);
    int locker = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(locker, LOCK_EX), 0);
    EXPECT_EQ(kxuReadTextFileLines(Lib("busy.txt").c_str(), &lines, 0), -1);
    close(locker);
    EXPECT_EQ(kxuReadTextFileLines(Lib("busy.txt").c_str(), &lines, 0), 1);
}

#endif

TEST_F(TextFile, BinaryModeKeepsTheCrAndReadTakesWhatIsLeft) {
    Write("in.txt", "a\r\nrest");
    CStdioFile file;
    ASSERT_TRUE(file.Open(Lib("in.txt").c_str(), CFile::modeRead | CFile::typeBinary));
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_STREQ(line, "a\r");
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 4u);
    EXPECT_STREQ(buffer, "rest");
    EXPECT_FALSE(file.ReadString(line));
    EXPECT_STREQ(line, "");
}

#if !defined(_WIN32)
// /proc/self/mem opens like a file but fails to read at offset 0, where
// nothing is mapped: a real read error.
TEST_F(TextFile, ReadErrorRaisesTheFileExceptionAndKeepsEarlierLines) {
    CStringArray lines;
    lines.Add("before");
    try {
        kxuReadTextFileLines("\\proc\\self\\mem", &lines, 0);
        ADD_FAILURE() << "no exception";
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::hardIO);
        char message[128];
        EXPECT_TRUE(e->GetErrorMessage(message, sizeof message));
        EXPECT_NE(std::string(message).find("mem"), std::string::npos);
        e->Delete();
    }
    EXPECT_EQ(ToVector(lines), Lines{"before"});
}
#endif

}  // namespace
