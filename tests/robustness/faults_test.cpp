// Copying, deleting and reading on real folders that fight back: a source
// that vanishes mid-copy, destinations that cannot be written or fill up,
// link loops, very deep trees and names no Windows path would hold. Each
// time: the code the entry gives, no half-written file, nothing written
// outside the destination, and the source as it was.
#include <fcntl.h>
#include <sys/fanotify.h>
#include <sys/mount.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <thread>

#include "files/scratch.h"
#include "support/test_host.h"

namespace {

using Names = std::set<std::string>;

[[maybe_unused]] const bool kOwnMounts = OwnMountNamespace();

class Faults : public ScratchTest {
  protected:
    void TearDown() override {
        for (const char* m : {"dst", "disk"}) umount2(At(m).c_str(), MNT_DETACH);
        ScratchTest::TearDown();
    }
    int Copy(const char* from, const char* to) {
        return kxu_copy_directory(Lib(from).c_str(), Lib(to).c_str(), 1, nullptr, nullptr, 1);
    }
    // A small file system of its own at `relative`, or false where the
    // machine does not allow mounting.
    bool Mount(const char* relative, unsigned long flags) {
        fs::create_directories(At(relative));
        return mount("tmpfs", At(relative).c_str(), "tmpfs", flags, "size=64k") == 0;
    }
    // Every file with its content, so a change anywhere shows; no copy leaves
    // its temporary beside the file it was making.
    std::map<std::string, std::string> Contents(const char* relative) const {
        std::map<std::string, std::string> out;
        for (const std::string& name : Tree(relative)) {
            EXPECT_EQ(name.find(".kx"), std::string::npos) << name;
            if (name.back() != '/' && fs::is_regular_file(fs::symlink_status(At(relative) / name)))
                out[name] = Read(fs::path(relative) / name);
        }
        return out;
    }
};

// The whole source is deleted while the copy holds its first file open: that
// file arrives whole (its data lives as long as it is open), the entries the
// search had listed but not yet reached are passed over, and the copy counts
// as complete, since it copied everything that still existed. A watcher of
// the folder holds each open of a file until it has answered, so the deletion
// lands between two steps of the library without any timing.
TEST_F(Faults, SourceVanishingDuringTheCopy) {
    const std::string big(1 << 20, 'v');
    for (const char* name : {"src/a.txt", "src/b.txt", "src/c.txt", "src/sub/d.txt"})
        Write(name, big);
    const int fan = fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY | O_LARGEFILE);
    if (fan < 0 || fanotify_mark(fan, FAN_MARK_ADD, FAN_OPEN_PERM | FAN_EVENT_ON_CHILD, AT_FDCWD,
                                 At("src").c_str()) != 0)
        GTEST_SKIP() << "no way to hold an open here";
    std::string first;
    std::atomic<bool> done = false;
    std::thread watcher([&] {
        alignas(fanotify_event_metadata) char buffer[4096];
        for (ssize_t n; !done && (n = read(fan, buffer, sizeof buffer)) > 0;)
            for (auto* e = reinterpret_cast<const fanotify_event_metadata*>(buffer);
                 FAN_EVENT_OK(e, n); e = FAN_EVENT_NEXT(e, n)) {
                if (first.empty()) {
                    char path[4096] = {};
                    (void)!readlink(("/proc/self/fd/" + std::to_string(e->fd)).c_str(), path,
                                    sizeof path - 1);
                    first = fs::path(path).filename();
                    for (const auto& entry : fs::directory_iterator(At("src")))
                        fs::remove_all(entry.path());
                }
                const fanotify_response allow{e->fd, FAN_ALLOW};
                (void)!write(fan, &allow, sizeof allow);
                close(e->fd);
            }
    });
    EXPECT_EQ(Copy("src", "dst"), 1);
    done = true;
    Write("src/stop", "");  // one more open, which the watcher answers before it stops
    watcher.join();
    close(fan);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(Tree("dst"), Names{first});
    EXPECT_EQ(Read("dst/" + first), big);
}

// Root writes through permission bits; a read-only file system stops it too.
TEST_F(Faults, ReadOnlyDestinationTakesNothing) {
    Write("src/a.txt", "a");
    Write("src/sub/b.txt", "b");
    const auto source = Contents("src");
    if (geteuid() != 0) {
        Write("dst/old.txt", "old");
        fs::permissions(At("dst"), fs::perms::owner_read | fs::perms::owner_exec);
    } else if (!Mount("dst", MS_RDONLY)) {
        GTEST_SKIP() << "cannot mount a read-only folder";
    }
    const auto before = Contents("dst");
    EXPECT_EQ(Copy("src", "dst"), 0);
    EXPECT_EQ(kxu_delete_files(Lib("dst").c_str(), nullptr, nullptr), 0);
    EXPECT_EQ(Contents("dst"), before);
    EXPECT_EQ(Contents("src"), source);
}

TEST_F(Faults, FullFileSystemKeepsNoHalfWrittenFile) {
    if (!Mount("disk", 0)) GTEST_SKIP() << "cannot mount a small file system here";
    Write("src/0-small.txt", "small");
    Write("src/1-big.bin", std::string(256 * 1024, 'x'));
    const auto source = Contents("src");
    EXPECT_EQ(Copy("src", "disk/dst"), 0);
    for (const auto& [name, content] : Contents("disk/dst"))  // whatever arrived arrived whole
        EXPECT_EQ(content, source.at(name)) << name;
    EXPECT_FALSE(Exists("disk/dst/1-big.bin"));
    EXPECT_EQ(Contents("src"), source);
}

// Loop links are neither followed nor copied; deleting removes the links only.
// A tree 200 folders deep copies whole.
TEST_F(Faults, LinkLoopsAndDeepTrees) {
    Write("src/a.txt", "a");
    fs::create_directory_symlink(".", At("src/self"));
    fs::create_symlink("ping", At("src/pong"));
    fs::create_symlink("pong", At("src/ping"));
    EXPECT_EQ(Copy("src", "dst"), 1);
    EXPECT_EQ(Tree("dst"), Names{"a.txt"});
    EXPECT_EQ(kxu_delete_files(Lib("src").c_str(), "p*", nullptr), 2);
    Names left;  // the names themselves, links not followed
    for (const auto& e : fs::directory_iterator(At("src"))) left.insert(e.path().filename());
    EXPECT_EQ(left, (Names{"a.txt", "self"}));
    std::string deep = "deep";
    for (int i = 0; i < 200; ++i) deep += "/d";  // 400 bytes of path below the scratch folder
    Write(deep + "/leaf.txt", "leaf");
    EXPECT_EQ(Copy("deep", "copy"), 1);
    EXPECT_EQ(Read("copy" + deep.substr(4) + "/leaf.txt"), "leaf");
    EXPECT_EQ(kxu_delete_files(Lib(deep).c_str(), nullptr, nullptr), 1);
}

// A name with a backslash cannot be spelled in the library's paths: it is
// never listed, so neither copied nor deleted.
TEST_F(Faults, OddNamesCopyUnderTheirOwnNamesExceptBackslashes) {
    const Names plain = {"with space.txt", "quote\"d.txt",         "caf\xC3\xA9.txt",
                         "\xE9t\xE9.txt",  " lead and trail .txt", "semi;colon,comma.txt"};
    for (const std::string& name : plain) Write("src/" + name, name);
    Write("src/back\\slash.txt", "never listed");
    Write("src/sub dir \"x\"/in.txt", "in");
    EXPECT_EQ(Copy("src", "dst"), 1);
    Names expected = plain;
    expected.insert({"sub dir \"x\"/", "sub dir \"x\"/in.txt"});
    EXPECT_EQ(Tree("dst"), expected);
    for (const std::string& name : plain) EXPECT_EQ(Read("dst/" + name), name);
    TestStrings lines;
    EXPECT_EQ(kxu_read_text_file_lines(Lib("src/\xE9t\xE9.txt").c_str(), &lines, 0), 1);
    EXPECT_EQ(kxu_delete_files(Lib("src").c_str(), nullptr, nullptr), 6);
    EXPECT_EQ(Tree("src"), (Names{"back\\slash.txt", "sub dir \"x\"/", "sub dir \"x\"/in.txt"}));
}

}  // namespace
