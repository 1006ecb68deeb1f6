// Copying, deleting and reading on real folders that fight back: files that
// cannot be read, destinations that cannot be written or fill up, link loops,
// very deep trees and names no Windows path would hold. Each time: the code
// the entry gives, no half-written file, nothing written outside the
// destination, and the source as it was.
#include <fcntl.h>
#include <poll.h>
#include <sys/fanotify.h>
#include <sys/mount.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <thread>

#include "files/scratch.h"
#include "support/test_host.h"

namespace {

using Names = std::set<std::string>;

// Holds every open of a file in one folder until `decide` has seen its path
// and said whether the open may go ahead (a denied open fails with EPERM).
// While the opener waits, `decide` may change the folder: what it does lands
// between two steps of the library without any timing. Needs the privilege
// to watch a file system; Valid() is false where the machine lacks it.
class OpenGate {
  public:
    OpenGate(const fs::path& folder, std::function<bool(const std::string&)> decide)
        : decide_(std::move(decide)) {
        fan_ = fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY | O_LARGEFILE);
        if (fan_ >= 0 && pipe(stop_) == 0 &&
            fanotify_mark(fan_, FAN_MARK_ADD, FAN_OPEN_PERM | FAN_EVENT_ON_CHILD, AT_FDCWD,
                          folder.c_str()) == 0)
            watcher_ = std::thread([this] { Watch(); });
    }
    ~OpenGate() {
        if (watcher_.joinable()) {
            (void)!write(stop_[1], "x", 1);
            watcher_.join();
        }
        for (int fd : {fan_, stop_[0], stop_[1]})
            if (fd >= 0) close(fd);
    }
    bool Valid() const { return watcher_.joinable(); }

  private:
    void Watch() {
        alignas(fanotify_event_metadata) char buffer[4096];
        for (;;) {
            pollfd fds[] = {{fan_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
            if (poll(fds, 2, -1) < 0 || fds[1].revents) return;
            const ssize_t n = read(fan_, buffer, sizeof buffer);
            auto* event = reinterpret_cast<const fanotify_event_metadata*>(buffer);
            for (ssize_t left = n; FAN_EVENT_OK(event, left); event = FAN_EVENT_NEXT(event, left)) {
                char path[4096] = {};
                const std::string link = "/proc/self/fd/" + std::to_string(event->fd);
                (void)!readlink(link.c_str(), path, sizeof path - 1);
                const fanotify_response answer{event->fd,
                                               decide_(path) ? FAN_ALLOW : std::uint32_t{FAN_DENY}};
                (void)!write(fan_, &answer, sizeof answer);
                close(event->fd);
            }
        }
    }
    std::function<bool(const std::string&)> decide_;
    int fan_ = -1;
    int stop_[2] = {-1, -1};
    std::thread watcher_;
};

[[maybe_unused]] const bool kOwnMounts = OwnMountNamespace();

class Faults : public ScratchTest {
  protected:
    void TearDown() override {
        for (const fs::path& m : mounts_) umount2(m.c_str(), MNT_DETACH);
        ScratchTest::TearDown();
    }
    int Copy(const char* from, const char* to) {
        return kxu_copy_directory(Lib(from).c_str(), Lib(to).c_str(), 1, nullptr, nullptr, 1);
    }
    // A small file system of its own at `relative`, or false where the
    // machine does not allow mounting.
    bool Mount(const char* relative, unsigned long flags, const char* options) {
        fs::create_directories(At(relative));
        if (mount("tmpfs", At(relative).c_str(), "tmpfs", flags, options) != 0) return false;
        mounts_.push_back(At(relative));
        return true;
    }
    // Every file with its content, so a change anywhere shows.
    std::map<std::string, std::string> Contents(const char* relative) const {
        std::map<std::string, std::string> out;
        for (const std::string& name : Tree(relative))
            if (name.back() != '/' && fs::is_regular_file(fs::symlink_status(At(relative) / name)))
                out[name] = Read(fs::path(relative) / name);
        return out;
    }
    // The names in one folder, links not followed.
    Names Entries(const char* relative) const {
        Names out;
        for (const auto& e : fs::directory_iterator(At(relative))) out.insert(e.path().filename());
        return out;
    }
    // No copy leaves its temporary beside the file it was making.
    void ExpectNoTemporaries(const char* relative) const {
        for (const std::string& name : Tree(relative))
            EXPECT_EQ(name.find(".kx"), std::string::npos) << name;
    }
    std::vector<fs::path> mounts_;
};

TEST_F(Faults, UnreadableFileStopsItsLevelAndLeavesNoPartialCopy) {
    Write("src/a.txt", "a");
    Write("src/secret.txt", "s");
    // Root reads every file whatever its permission bits: there a watcher refuses the opens.
    std::unique_ptr<OpenGate> gate;
    if (geteuid() == 0) {
        gate = std::make_unique<OpenGate>(At("src"), [](const std::string& path) {
            return path.find("secret") == std::string::npos;
        });
        if (!gate->Valid()) GTEST_SKIP() << "root, and no way to refuse an open here";
    } else {
        fs::permissions(At("src/secret.txt"), fs::perms::none);
    }
    EXPECT_EQ(Copy("src", "dst"), 0);
    EXPECT_FALSE(Exists("dst/secret.txt"));
    ExpectNoTemporaries("dst");
    TestStrings lines{"kept"};
    EXPECT_EQ(kxu_read_text_file_lines(Lib("src/secret.txt").c_str(), &lines, 0), -1);
    EXPECT_EQ(lines.Values(), std::vector<std::string>{"kept"});
}

// The whole source is deleted while the copy holds its first file open: that
// file arrives whole (its data lives as long as it is open), the entries the
// search had listed but not yet reached are passed over, and the copy counts
// as complete, since it copied everything that still existed.
TEST_F(Faults, SourceVanishingDuringTheCopy) {
    const std::string big(1 << 20, 'v');
    for (const char* name : {"src/a.txt", "src/b.txt", "src/c.txt", "src/sub/d.txt"})
        Write(name, big);
    std::string first;
    OpenGate gate(At("src"), [&](const std::string& path) {
        if (first.empty()) {
            first = fs::path(path).filename();
            for (const auto& e : fs::directory_iterator(At("src"))) fs::remove_all(e.path());
        }
        return true;
    });
    if (!gate.Valid()) GTEST_SKIP() << "no way to hold an open here";
    EXPECT_EQ(Copy("src", "dst"), 1);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(Tree("dst"), Names{first});
    EXPECT_EQ(Read("dst/" + first), big);
    EXPECT_TRUE(Tree("src").empty());
}

TEST_F(Faults, ReadOnlyDestinationTakesNothing) {
    Write("src/a.txt", "a");
    Write("src/sub/b.txt", "b");
    Write("dst/old.txt", "old");
    const auto source = Contents("src");
    if (geteuid() == 0) {
        // Root writes through permission bits; a read-only file system stops it.
        fs::remove_all(At("dst"));
        if (!Mount("dst", MS_RDONLY, "size=64k")) GTEST_SKIP() << "cannot mount a read-only folder";
    } else {
        fs::permissions(At("dst"), fs::perms::owner_read | fs::perms::owner_exec);
    }
    const auto before = Contents("dst");
    EXPECT_EQ(Copy("src", "dst"), 0);
    EXPECT_EQ(Contents("dst"), before);
    EXPECT_EQ(kxu_delete_files(Lib("dst").c_str(), nullptr, nullptr), 0);
    EXPECT_EQ(Contents("dst"), before);
    EXPECT_EQ(Contents("src"), source);
}

TEST_F(Faults, FullFileSystemKeepsNoHalfWrittenFile) {
    if (!Mount("disk", 0, "size=64k")) GTEST_SKIP() << "cannot mount a small file system here";
    Write("src/0-small.txt", "small");
    Write("src/1-big.bin", std::string(256 * 1024, 'x'));
    const auto source = Contents("src");
    EXPECT_EQ(Copy("src", "disk/dst"), 0);
    // Whatever arrived arrived whole.
    for (const auto& [name, content] : Contents("disk/dst"))
        EXPECT_EQ(content, source.at(name)) << name;
    EXPECT_FALSE(Exists("disk/dst/1-big.bin"));
    ExpectNoTemporaries("disk");
    EXPECT_EQ(Contents("src"), source);
}

TEST_F(Faults, LinkLoopsAreNeitherFollowedNorCopied) {
    Write("src/a.txt", "a");
    fs::create_directory_symlink(".", At("src/self"));
    fs::create_symlink("ping", At("src/pong"));
    fs::create_symlink("pong", At("src/ping"));
    EXPECT_EQ(Copy("src", "dst"), 1);
    EXPECT_EQ(Tree("dst"), Names{"a.txt"});
    EXPECT_EQ(Entries("src"), (Names{"a.txt", "ping", "pong", "self"}));
    // The loop links are files of the folder: deleting removes the links only.
    EXPECT_EQ(kxu_delete_files(Lib("src").c_str(), "p*", nullptr), 2);
    EXPECT_EQ(Entries("src"), (Names{"a.txt", "self"}));
}

TEST_F(Faults, VeryDeepTreeCopiesWhole) {
    std::string deep = "src";
    for (int i = 0; i < 200; ++i) deep += "/d";  // 400 bytes of path below the scratch folder
    Write(deep + "/leaf.txt", "leaf");
    EXPECT_EQ(Copy("src", "dst"), 1);
    EXPECT_EQ(Read("dst" + deep.substr(3) + "/leaf.txt"), "leaf");
    EXPECT_EQ(Tree("dst"), Tree("src"));
    EXPECT_EQ(kxu_delete_files(Lib(deep.c_str()).c_str(), nullptr, nullptr), 1);
}

TEST_F(Faults, OddNamesCopyUnderTheirOwnNamesExceptBackslashes) {
    const Names plain = {"with space.txt",      "quote\"d.txt",  "single'q.txt",
                         "caf\xC3\xA9.txt",     "\xE9t\xE9.txt", " lead and trail .txt",
                         "semi;colon,comma.txt"};
    for (const std::string& name : plain) Write("src/" + name, name);
    Write("src/back\\slash.txt", "never listed");
    Write("src/sub dir \"x\"/in.txt", "in");
    const auto source = Contents("src");
    EXPECT_EQ(Copy("src", "dst"), 1);
    Names expected = plain;
    expected.insert({"sub dir \"x\"/", "sub dir \"x\"/in.txt"});
    EXPECT_EQ(Tree("dst"), expected);
    for (const std::string& name : plain) EXPECT_EQ(Read("dst/" + name), name);
    EXPECT_EQ(Contents("src"), source);
    TestStrings lines;
    EXPECT_EQ(kxu_read_text_file_lines(Lib("src/\xE9t\xE9.txt").c_str(), &lines, 0), 1);
    // Deleting every file: the backslash name is never listed, so it stays.
    EXPECT_EQ(kxu_delete_files(Lib("src").c_str(), nullptr, nullptr),
              static_cast<int>(plain.size()));
    EXPECT_EQ(Tree("src"), (Names{"back\\slash.txt", "sub dir \"x\"/", "sub dir \"x\"/in.txt"}));
}

}  // namespace
