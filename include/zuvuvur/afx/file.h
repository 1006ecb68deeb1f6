// Files of the framework: CFile, CStdioFile (line by line) and CFileException.
//
//     CStdioFile file;
//     if (file.Open("data\\in.txt", CFile::modeRead | CFile::shareDenyWrite | CFile::typeText)) {
//         CString line;
//         while (file.ReadString(line)) { /* one line, without its end */ }
//         file.Close();  // the destructor closes too
//     }
//
// Paths are the library's: backslash-separated, read with '/' for each
// backslash on POSIX.
//
// Files here are read, not written: an Open that asks for writing (modeWrite,
// modeReadWrite, modeCreate) fails with CFileException::genericException.
//
// Sharing: shareDenyWrite asks that nobody writes the file while it is open.
// POSIX has no mandatory sharing, so it means what the system can honestly
// give: the open fails with CFileException::sharingViolation when the file is
// open for writing at that moment, as far as the kernel will tell (its
// read-lease test answers for files the caller owns, and for all files when
// the caller is privileged), or when a cooperating writer holds an exclusive
// flock(); while open, the file carries a shared flock(), which keeps such
// writers out. A writer that takes no lock is not kept out. shareExclusive and
// shareDenyRead are given the same treatment (readers cannot be kept out);
// shareDenyNone and shareCompat lock nothing.
//
// Text mode (typeText, or neither type flag): a CR LF pair ends a line like a
// lone LF and neither reaches the line; every other byte does, unchanged: a
// lone CR, a NUL, a byte-order mark, the byte 0x1A. typeBinary: only LF ends a
// line and a CR before it stays in the line. ReadString reads the file in
// 64 KiB blocks and cuts the lines itself.
//
// A read error raises CFileException* (thrown by pointer, as the framework
// throws; the catcher calls Delete()).
#pragma once

#include <cstdint>

#include "objects.h"
#include "string.h"

class KXAFX_API CFileException : public CException {
    DECLARE_DYNAMIC(CFileException)
  public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, long osError = -1, const char* fileName = nullptr);
    ~CFileException() override;

    // The cause that belongs to a system error number (the Windows numbering).
    static int OsErrorToException(long osError) noexcept;
    BOOL GetErrorMessage(char* buffer, UINT maxLength, UINT* helpContext = nullptr) const override;

    int m_cause;
    long m_lOsError;  // the system's error number, -1 when there is none
    CString m_strFileName;
};

// Throws a new CFileException*.
[[noreturn]] KXAFX_API void AfxThrowFileException(int cause, long osError = -1,
                                                  const char* fileName = nullptr);

class KXAFX_API CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
  public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000
    };
    static constexpr std::intptr_t hFileNull = -1;

    CFile() noexcept = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    ~CFile() override;  // closes an open file

    // TRUE when open. On failure FALSE, and `error` (when given) tells why.
    // A file already open is closed first.
    virtual BOOL Open(const char* fileName, UINT openFlags, CFileException* error = nullptr);
    // Reads up to `count` bytes as they are; 0 at the end. Throws on a read error.
    virtual UINT Read(void* buffer, UINT count);
    // Closes the file; a file not open is left alone.
    virtual void Close();
    CString GetFilePath() const { return m_strFileName; }

    std::intptr_t m_hFile = hFileNull;

  protected:
    CString m_strFileName;
};

class KXAFX_API CStdioFile : public CFile {
    DECLARE_DYNAMIC(CStdioFile)
  public:
    CStdioFile() noexcept = default;
    ~CStdioFile() override;

    BOOL Open(const char* fileName, UINT openFlags, CFileException* error = nullptr) override;
    // Hands over what ReadString has read ahead first, then reads on; no line-end
    // translation.
    UINT Read(void* buffer, UINT count) override;
    void Close() override;

    // The next line into `line`, without its end; TRUE while there is one. A
    // last line without an end is a line; a file ending with a line end gives
    // no empty line after it. At the end: FALSE and `line` empty. Throws
    // CFileException* on a read error or when the file is not open.
    virtual BOOL ReadString(CString& line);

  private:
    bool Fill();

    char* m_pBuffer = nullptr;
    UINT m_nStart = 0;  // unread bytes of the buffer are [m_nStart, m_nEnd)
    UINT m_nEnd = 0;
    bool m_bText = true;
};
