#include <zuvuvur/afx/file.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kxplatform.h"

IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CStdioFile, CFile)

namespace {
constexpr UINT kBufferSize = 64 * 1024;
}  // namespace

// ---- CFileException -----------------------------------------------------------

CFileException::CFileException(int cause, long osError, const char* fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}

CFileException::~CFileException() = default;

int CFileException::OsErrorToException(long osError) noexcept {
    switch (osError) {
        case kxp::ERR_SUCCESS:
            return none;
        case kxp::ERR_FILE_NOT_FOUND:
            return fileNotFound;
        case kxp::ERR_PATH_NOT_FOUND:
        case kxp::ERR_INVALID_NAME:
        case kxp::ERR_FILENAME_EXCED_RANGE:
        case kxp::ERR_DIRECTORY:
            return badPath;
        case kxp::ERR_TOO_MANY_OPEN_FILES:
            return tooManyOpenFiles;
        case kxp::ERR_ACCESS_DENIED:
        case kxp::ERR_WRITE_PROTECT:
            return accessDenied;
        case kxp::ERR_SHARING_VIOLATION:
            return sharingViolation;
        case kxp::ERR_DISK_FULL:
            return diskFull;
        case kxp::ERR_READ_FAULT:
        case kxp::ERR_WRITE_FAULT:
            return hardIO;
        default:
            return genericException;
    }
}

BOOL CFileException::GetErrorMessage(char* buffer, UINT maxLength, UINT* helpContext) const {
    if (helpContext) *helpContext = 0;
    if (!buffer || maxLength == 0) return FALSE;
    const char* what = "An unexpected error occurred while accessing";
    switch (m_cause) {
        case none:
            std::snprintf(buffer, maxLength, "No error occurred.");
            return TRUE;
        case fileNotFound:
            what = "File not found:";
            break;
        case badPath:
            what = "The path is not valid:";
            break;
        case tooManyOpenFiles:
            what = "Too many files are open already to open";
            break;
        case accessDenied:
            what = "Access denied:";
            break;
        case invalidFile:
            what = "The file is not open:";
            break;
        case hardIO:
            what = "An input/output error occurred while accessing";
            break;
        case sharingViolation:
            what = "The file is in use by someone else:";
            break;
        case lockViolation:
            what = "A region of the file is locked:";
            break;
        case diskFull:
            what = "The disk is full while writing";
            break;
        case endOfFile:
            what = "Reading past the end of";
            break;
        default:
            break;
    }
    const char* name = m_strFileName.IsEmpty() ? "an unnamed file" : m_strFileName.GetString();
    std::snprintf(buffer, maxLength, "%s %s", what, name);
    return TRUE;
}

void AfxThrowFileException(int cause, long osError, const char* fileName) {
    throw new CFileException(cause, osError, fileName);
}

// ---- CFile --------------------------------------------------------------------

namespace {

bool OpenForReading(std::intptr_t& handle, CString& name, const char* fileName, UINT openFlags,
                    CFileException* error) {
    std::uint32_t osError = kxp::ERR_INVALID_PARAMETER;
    UINT access = openFlags & (CFile::modeWrite | CFile::modeReadWrite);
    if (fileName && access == CFile::modeRead &&
        !(openFlags & (CFile::modeCreate | CFile::modeNoTruncate))) {
        UINT share = openFlags & 0x70;
        bool denyWrite = share == CFile::shareDenyWrite || share == CFile::shareExclusive ||
                         share == CFile::shareDenyRead;
        handle = kxp::open_for_reading(fileName, denyWrite, &osError);
        if (handle != kxp::kNoFile) {
            name = fileName;
            return true;
        }
    }
    if (error) {
        error->m_cause = access == CFile::modeRead && fileName
                             ? CFileException::OsErrorToException(static_cast<long>(osError))
                             : CFileException::genericException;
        error->m_lOsError = static_cast<long>(osError);
        error->m_strFileName = fileName;
    }
    return false;
}

}  // namespace

CFile::~CFile() { CFile::Close(); }

BOOL CFile::Open(const char* fileName, UINT openFlags, CFileException* error) {
    Close();
    return OpenForReading(m_hFile, m_strFileName, fileName, openFlags, error) ? TRUE : FALSE;
}

UINT CFile::Read(void* buffer, UINT count) {
    if (m_hFile == hFileNull) AfxThrowFileException(CFileException::invalidFile, -1, m_strFileName);
    if (count == 0) return 0;
    std::uint32_t osError = 0;
    std::int64_t n = kxp::read_file(m_hFile, buffer, count, &osError);
    if (n < 0)
        AfxThrowFileException(CFileException::OsErrorToException(static_cast<long>(osError)),
                              static_cast<long>(osError), m_strFileName);
    return static_cast<UINT>(n);
}

void CFile::Close() {
    if (m_hFile != hFileNull) kxp::close_file(m_hFile);
    m_hFile = hFileNull;
}

// ---- CStdioFile ---------------------------------------------------------------

CStdioFile::~CStdioFile() {
    CStdioFile::Close();
    std::free(m_pBuffer);
}

BOOL CStdioFile::Open(const char* fileName, UINT openFlags, CFileException* error) {
    Close();
    if (!m_pBuffer) {
        m_pBuffer = static_cast<char*>(std::malloc(kBufferSize));
        if (!m_pBuffer) AfxThrowMemoryException();
    }
    m_bText = !(openFlags & typeBinary);
    return CFile::Open(fileName, openFlags, error);
}

void CStdioFile::Close() {
    CFile::Close();
    m_nStart = m_nEnd = 0;
}

bool CStdioFile::Fill() {
    m_nStart = m_nEnd = 0;
    UINT n = CFile::Read(m_pBuffer, kBufferSize);
    m_nEnd = n;
    return n > 0;
}

UINT CStdioFile::Read(void* buffer, UINT count) {
    UINT buffered = m_nEnd - m_nStart;
    if (buffered == 0) return CFile::Read(buffer, count);
    UINT n = count < buffered ? count : buffered;
    std::memcpy(buffer, m_pBuffer + m_nStart, n);
    m_nStart += n;
    return n;
}

BOOL CStdioFile::ReadString(CString& line) {
    if (m_hFile == hFileNull) AfxThrowFileException(CFileException::invalidFile, -1, m_strFileName);
    bool started = false;  // some bytes of this line are in `line` already
    for (;;) {
        if (m_nStart == m_nEnd && !Fill()) break;
        const char* begin = m_pBuffer + m_nStart;
        UINT available = m_nEnd - m_nStart;
        const auto* newline = static_cast<const char*>(std::memchr(begin, '\n', available));
        UINT take = newline ? static_cast<UINT>(newline - begin) : available;
        // Most lines lie inside one block and are cut out in one copy; a line
        // across blocks grows by appending, which stays linear.
        if (started)
            line.Append(begin, static_cast<int>(take));
        else
            line = CString(begin, static_cast<int>(take));
        started = true;
        if (newline) {
            m_nStart += take + 1;
            // The byte before the LF is the line's last byte, whichever block held it.
            int length = line.GetLength();
            if (m_bText && length > 0 && line.GetString()[length - 1] == '\r')
                line.Delete(length - 1, 1);
            return TRUE;
        }
        m_nStart = m_nEnd;
    }
    if (!started) line.Empty();
    return started ? TRUE : FALSE;
}
