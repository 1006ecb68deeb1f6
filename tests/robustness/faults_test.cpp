// Copying, deleting and reading on real folders that fight back: a source
// that vanishes mid-copy, destinations that cannot be written or fill up,
// link loops, very deep trees and names no Windows path would hold. Each
// time: the code the entry gives, no half-written file, nothing written
// outside the destination, and the source as it was.
#include <fcntl.h>
#include <sys/fanotify.h>
#include <sys/mount.h>
#include <unistd.h>

#include <map>
#include <thread>
#include <utility>

#include "files/scratch.h"
#include "support/test_host.h"

namespace {

using Names = std::set<std::string>;

[[maybe_unused]] const bool kOwnMounts = OwnMountNamespace();

class Faults : public ScratchTest {
  protected:
    void TearDown() override {
        for (const char* m : {"full", "readonly"}) umount2(At(m).c_str(), MNT_DETACH);
        ScratchTest::TearDown();
    }
    int Copy(const char* from, const char* to) {
        return kxu_copy_directory(Lib(from).c_str(), Lib(to).c_str(), 1, nullptr, nullptr, 1);
    }
    // A small file system of its own at `relative`, or false where the
    // machine does not allow mounting.
    bool Mount(const char* relative) {
        fs::create_directories(At(relative));
        return mount("tmpfs", At(relative).c_str(), "tmpfs", 0, "size=64k") == 0;
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
    std::thread watcher([&] {
        alignas(fanotify_event_metadata) char buffer[4096];
        bool removed = false, stop = false;
        for (ssize_t n; !stop && (n = read(fan, buffer, sizeof buffer)) > 0;)
            for (auto* e = reinterpret_cast<const fanotify_event_metadata*>(buffer);
                 FAN_EVENT_OK(e, n); e = FAN_EVENT_NEXT(e, n)) {
                char path[4096] = {};
                (void)!readlink(("/proc/self/fd/" + std::to_string(e->fd)).c_str(), path,
                                sizeof path - 1);
                stop = fs::path(path).filename() == "stop";
                if (!stop && !std::exchange(removed, true))
                    for (const auto& entry : fs::directory_iterator(At("src")))
                        fs::remove_all(entry.path());
                const fanotify_response allow{e->fd, FAN_ALLOW};
                (void)!write(fan, &allow, sizeof allow);
                close(e->fd);
            }
    });
    EXPECT_EQ(Copy("src", "dst"), 1);
    Write("src/stop", "");  // the open the watcher answers last
    watcher.join();
    close(fan);
    const Names copied = Tree("dst");
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_EQ(Read("dst/" + *copied.begin()), big);
}

// A destination that takes nothing (a read-only file system, which stops
// root too) or fills up part way: the copy fails, whatever arrived arrived
// whole, nothing is deleted, and the source stays as it was.
TEST_F(Faults, DestinationsThatRefuseKeepNoHalfWrittenFile) {
    Write("src/0-small.txt", "small");
    Write("src/1-big.bin", std::string(256 * 1024, 'x'));
    const auto source = Contents("src");
    if (!Mount("full") || !Mount("readonly")) GTEST_SKIP() << "cannot mount a file system here";
    Write("readonly/old.txt", "old");
    ASSERT_EQ(mount(nullptr, At("readonly").c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    EXPECT_EQ(Copy("src", "readonly"), 0);
    EXPECT_EQ(kxu_delete_files(Lib("readonly").c_str(), nullptr, nullptr), 0);
    EXPECT_EQ(Contents("readonly"), (std::map<std::string, std::string>{{"old.txt", "old"}}));
    EXPECT_EQ(Copy("src", "full/dst"), 0);
    for (const auto& [name, content] : Contents("full/dst"))  // whatever arrived arrived whole
        EXPECT_EQ(content, source.at(name)) << name;
    EXPECT_FALSE(Exists("full/dst/1-big.bin"));
    EXPECT_EQ(Contents("src"), source);
}

// Names no Windows path would hold, a link back to its own folder and a tree
// 200 folders deep (400 bytes of path below the scratch folder): the copy
// takes every file under its own name but the one with a backslash, which the
// library's paths cannot spell, and follows no link; deleting the same.
TEST_F(Faults, OddTreesCopyWholeButForBackslashesAndLinks) {
    const Names plain = {"with space.txt", "quote\"d.txt", "\xE9t\xE9.txt", " lead and trail .txt"};
    for (const std::string& name : plain) Write("src/" + name, name);
    std::string deep = "src/sub dir \"x\"";
    for (int i = 0; i < 200; ++i) deep += "/d";
    Write(deep + "/leaf.txt", "leaf");
    const Names expected = Tree("src");
    Write("src/back\\slash.txt", "never listed");
    fs::create_directory_symlink(".", At("src/self"));
    EXPECT_EQ(Copy("src", "dst"), 1);
    EXPECT_EQ(Tree("dst"), expected);
    for (const std::string& name : plain) EXPECT_EQ(Read("dst/" + name), name);
    EXPECT_EQ(Read("dst" + deep.substr(3) + "/leaf.txt"), "leaf");
    TestStrings lines;
    EXPECT_EQ(kxu_read_text_file_lines(Lib("src/\xE9t\xE9.txt").c_str(), &lines, 0), 1);
    EXPECT_EQ(kxu_delete_files(Lib("src").c_str(), nullptr, nullptr), 4);
    EXPECT_EQ(kxu_delete_files(Lib(deep).c_str(), nullptr, nullptr), 1);
    EXPECT_TRUE(Exists("src/back\\slash.txt") && Exists("src/self"));
}

}  // namespace
