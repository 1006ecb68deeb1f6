// Text-file lines and the framework's line reader, on real files.
#include "files/scratch.h"
#include "support/test_host.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

using Lines = std::vector<std::string>;

class TextFile : public ScratchTest {};

TEST_F(TextFile, LinesAreAppendedAsTheFileHoldsThem) {
    const std::string bom = "\xEF\xBB\xBF";
    struct Row {
        const char* label;
        std::string content;
        int options;
        Lines before;  // what the array holds already
        Lines after;
    };
    const Row rows[] = {
        {"EmptyFile", "", 0, {}, {}},
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
    };
    std::vector<Row> all(std::begin(rows), std::end(rows));
    // 65535 is the last byte of a block for every power-of-two block size up
    // to 64 KiB, so these lengths put the CR, the LF, or both across a block edge.
    for (int length : {65534, 65535, 65536, 65537, 200000}) {
        const std::string line(length, 'x');
        all.push_back({"AcrossABlockEdge", line + "\r\nend\r\n", 0, {}, {line, "end"}});
    }
    for (const auto& row : all) {
        SCOPED_TRACE(testing::Message() << row.label << " " << row.content.size());
        Write("in.txt", row.content);
        CStringArray lines;
        for (const auto& s : row.before) lines.Add(s.c_str());
        EXPECT_EQ(kxuReadTextFileLines(Lib("in.txt").c_str(), &lines, row.options),
                  static_cast<int>(row.after.size()));
        EXPECT_EQ(ToVector(lines), row.after);
    }
}

// -1 for what cannot be opened, with the array untouched; the framework's
// open tells why. A file that another program is writing or has locked is
// refused too.
TEST_F(TextFile, WhatCannotBeOpenedOrIsBeingWritten) {
    Write("in.txt", "x\n");
    CStringArray lines;
    lines.Add("before");
    EXPECT_EQ(kxuReadTextFileLines(Lib("missing.txt").c_str(), &lines, 0), -1);
    EXPECT_EQ(kxuReadTextFileLines(Lib("").c_str(), &lines, 0), -1);  // the folder itself
    EXPECT_EQ(ToVector(lines), Lines{"before"});
    CStdioFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(Lib("missing.txt").c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    {
        std::ofstream writer(At("in.txt"), std::ios::app);
        bool leases = true;  // on Windows, sharing modes: the system's own
#if !defined(_WIN32)
        // Without leases the file system cannot tell that a writer is in.
        const int probe = open(At("in.txt").c_str(), O_RDONLY | O_CLOEXEC);
        leases = fcntl(probe, F_SETLEASE, F_RDLCK) == 0 || errno == EAGAIN;
        close(probe);
#endif
        if (leases) {
            EXPECT_EQ(kxuReadTextFileLines(Lib("in.txt").c_str(), &lines, 0), -1);
        }
    }
#if !defined(_WIN32)
    const int locker = open(At("in.txt").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(locker, LOCK_EX), 0);
    EXPECT_EQ(kxuReadTextFileLines(Lib("in.txt").c_str(), &lines, 0), -1);
    close(locker);
#endif
    EXPECT_EQ(kxuReadTextFileLines(Lib("in.txt").c_str(), &lines, 0), 2);
}

}  // namespace
