// Library files on disk: a save replaces the library only after a complete write.
#include "workspace/ClipTextFile.h"

#include "common/SysFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

class ClipTextFile : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() / (std::string("qv_clip_") + info->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    std::string Path(const char* name) const { return (m_dir / name).string(); }
    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    size_t FileCount() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(m_dir), {}));
    }
    fs::path m_dir;
};

const char kOld[] = "#TITLE=old\r\n#BEGIN=a\r\nkeep me\r\n#END\r\n";

std::string BigLibrary() {
    std::vector<ClipItem> items;
    for (int i = 0; i < 200; ++i)
        items.push_back({"item" + std::to_string(i), std::string(100, 'x')});
    return FormatClipLibrary("##\r\n", "new", items);
}

} // namespace

TEST_F(ClipTextFile, SaveAndLoad) {
    const std::string path = Path("lib.CTF");
    Write(path, kOld);
    const std::string bytes = BigLibrary();
    ASSERT_TRUE(SaveClipLibraryFile(path.c_str(), bytes));
    EXPECT_EQ(Read(path), bytes);
    EXPECT_EQ(FileCount(), 1u);
    ClipLibraryText lib;
    ASSERT_TRUE(LoadClipLibraryFile(path.c_str(), lib));
    EXPECT_EQ(lib.title, "new");
    EXPECT_EQ(lib.items.size(), 200u);
}

TEST_F(ClipTextFile, EmptyAndMissingFiles) {
    const std::string path = Path("empty.CTF");
    Write(path, "");
    ClipLibraryText lib;
    EXPECT_TRUE(LoadClipLibraryFile(path.c_str(), lib));
    EXPECT_TRUE(lib.items.empty());
    EXPECT_FALSE(LoadClipLibraryFile(Path("none.CTF").c_str(), lib));
    EXPECT_EQ(lib.title, "");
}

TEST_F(ClipTextFile, DiskFullHalfWayLeavesTheOldFile) {
    const std::string path = Path("lib.CTF");
    Write(path, kOld);
    size_t written = 0;
    // The disk fills after two pieces of the write.
    const ClipWriteFn full = [&](void*, const void*, size_t len, uint32_t* error) {
        if (written >= 8192) {
            if (error)
                *error = 112; // disk full
            return false;
        }
        written += len;
        return true;
    };
    uint32_t error = 0;
    EXPECT_FALSE(SaveClipLibraryFile(path.c_str(), BigLibrary(), &error, full));
    EXPECT_EQ(error, 112u);
    EXPECT_EQ(written, 8192u);
    EXPECT_EQ(Read(path), kOld);
    EXPECT_EQ(FileCount(), 1u); // no temporary file left behind
}

TEST_F(ClipTextFile, FolderThatCannotTakeTheFileLeavesTheOldOne) {
    // The library's folder is gone: nothing can be created there.
    const std::string path = (m_dir / "gone" / "lib.CTF").string();
    EXPECT_FALSE(SaveClipLibraryFile(path.c_str(), BigLibrary()));
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(ClipTextFile, ReadOnlyLibraryIsNotReplaced) {
    const std::string path = Path("lib.CTF");
    Write(path, kOld);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    uint32_t error = 0;
    EXPECT_FALSE(SaveClipLibraryFile(path.c_str(), BigLibrary(), &error));
    EXPECT_EQ(error, 5u); // access denied
    EXPECT_EQ(Read(path), kOld);
    EXPECT_EQ(FileCount(), 1u);
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(ClipTextFile, TempFileIsBesideTheLibrary) {
    const std::string temp = ClipTempPath(Path("lib.CTF"), 7);
    EXPECT_EQ(fs::path(temp).parent_path(), m_dir);
}

TEST_F(ClipTextFile, EveryPieceGoesToATemporaryFileBesideTheLibrary) {
    const std::string path = Path("lib.CTF");
    Write(path, kOld);
    int pieces = 0;
    // While the pieces are written the library still holds its old bytes, and the one other
    // file in its folder is the temporary file being written.
    const ClipWriteFn watch = [&](void* file, const void* data, size_t len, uint32_t* error) {
        ++pieces;
        EXPECT_LE(len, 4096u);
        EXPECT_EQ(Read(path), kOld);
        EXPECT_EQ(FileCount(), 2u);
        return fxsys::WriteAll(file, data, len, error);
    };
    const std::string bytes = BigLibrary();
    ASSERT_TRUE(SaveClipLibraryFile(path.c_str(), bytes, nullptr, watch));
    EXPECT_EQ(pieces, static_cast<int>((bytes.size() + 4095) / 4096));
    EXPECT_EQ(Read(path), bytes);
    EXPECT_EQ(FileCount(), 1u);
}
