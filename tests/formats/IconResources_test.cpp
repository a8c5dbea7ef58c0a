#include "formats/IconImage.h"
#include "formats/IconResources.h"

#include <gtest/gtest.h>
#include <list>
#include <string>
#include <tuple>
#include <utility>

#include "formats/ByteReader.h"
#include "formats/QtBridge.h"
#include "support/files.h"
#include "support/icons.h"

namespace {

QByteArray fixture(const char *name)
{
    QByteArray bytes = readAll(testData(QStringLiteral("good/resources/") + name));
    EXPECT_FALSE(bytes.isEmpty()) << name;
    return bytes;
}

// The groups' images are slices of the file, which is kept for the whole run.
std::vector<IconGroup> groupsOf(const QByteArray &file)
{
    static std::list<QByteArray> kept;
    kept.push_back(file);
    FormatError error;
    auto groups = readIconGroups(bytesView(kept.back()), &error);
    EXPECT_TRUE(groups) << error.message;
    return groups.value_or(std::vector<IconGroup>());
}

std::optional<FormatError::Kind> errorOf(const QByteArray &file)
{
    FormatError error;
    if (readIconGroups(bytesView(file), &error))
        return std::nullopt;
    EXPECT_FALSE(error.message.empty());
    return error.kind;
}

// The file with a little-endian value of `bytes` bytes written over the bytes at `at`.
QByteArray patched(QByteArray f, uint64_t at, uint32_t v, int bytes = 4)
{
    QByteArray le;
    appendLE32(le, v);
    return f.replace(qsizetype(at), bytes, le.left(bytes));
}

// How many images each group of the file keeps.
std::vector<size_t> imageCounts(const QByteArray &file)
{
    std::vector<size_t> counts;
    for (const IconGroup &group : groupsOf(file))
        counts.push_back(group.images.size());
    return counts;
}
using Counts = std::vector<size_t>;

// Finds its way through a PE fixture's resource tree, to patch it.
struct PeTree
{
    explicit PeTree(const QByteArray &file)
        : r(bytesView(file))
    {
        const uint64_t pe = *r.u32(0x3C);
        const uint64_t optional = pe + 24;
        rva = *r.u32(optional + (*r.u16(optional) == 0x10B ? 112 : 128));
        const uint64_t sections = optional + *r.u16(pe + 20);
        for (uint64_t s = sections; s < sections + 40 * uint64_t(*r.u16(pe + 6)); s += 40) {
            if (rva >= *r.u32(s + 12) && rva < *r.u32(s + 12) + *r.u32(s + 8))
                root = *r.u32(s + 20) + rva - *r.u32(s + 12);
        }
    }
    // The file offset of the i-th entry of the directory at file offset `dir`.
    uint64_t entry(uint64_t dir, int i) const { return dir + 16 + 8 * uint64_t(i); }
    // The file offset of the directory or data entry that an entry points at.
    uint64_t target(uint64_t entry) const { return root + (*r.u32(entry + 4) & 0x7FFFFFFF); }
    // The data entry of integer resource `id` of `type`, first language.
    uint64_t dataEntry(uint16_t type, uint16_t id) const
    {
        return target(entry(target(idEntry(target(idEntry(root, type)), id)), 0));
    }
    uint64_t idEntry(uint64_t dir, uint16_t id) const
    {
        const int named = *r.u16(dir + 12);
        for (int i = named; i < named + *r.u16(dir + 14); ++i) {
            if (*r.u32(entry(dir, i)) == id)
                return entry(dir, i);
        }
        ADD_FAILURE() << "no entry " << id;
        return 0;
    }
    // The fixtures keep their resource data in the section of the directory.
    uint64_t data(uint64_t dataEntry) const { return root + *r.u32(dataEntry) - rva; }

    ByteReader r;
    uint32_t rva = 0;
    uint64_t root = 0;
};

// The fixture groups in stored order, with the image the editor shows for each.
struct Expected
{
    const char *name;
    size_t images;
    int width, bits;
    QRgb color;
};
const Expected kPeGroups[] = {
    {"ALPHA", 2, 32, 32, 0x000080}, {"BETA", 4, 32, 32, 0xff00ff}, {"ZETA", 2, 32, 4, 0xff0000},
    {"3", 1, 48, 8, 0xffff00},      {"7", 3, 32, 32, 0x00c000},
};
const Expected kNeGroups[] = {
    {"20", 2, 32, 4, 0x00ffff}, {"SMILE", 1, 32, 8, 0xff8000}, {"10", 2, 32, 32, 0x404040}};

template<size_t N>
void expectGroups(const std::vector<IconGroup> &groups, const Expected (&want)[N])
{
    ASSERT_EQ(groups.size(), N);
    for (size_t i = 0; i < N; ++i) {
        SCOPED_TRACE(want[i].name);
        EXPECT_EQ(QString::fromStdU16String(groups[i].name), QString::fromLatin1(want[i].name));
        ASSERT_EQ(groups[i].images.size(), want[i].images);
        // Each image holds exactly the bytes its group entry gives it.
        for (const IconGroupImage &image : groups[i].images)
            EXPECT_EQ(uint32_t(image.data.size()), image.bytesInRes);
        const auto icon = groupIcon(groups[i]);
        ASSERT_TRUE(icon);
        EXPECT_EQ(std::tuple(icon->width, icon->height, icon->bitCount),
                  std::tuple(want[i].width, want[i].width, want[i].bits));
        EXPECT_EQ(icon->color.pixel(0, 0), 0xFF000000u | want[i].color);
    }
}

} // namespace

TEST(IconResources, GroupsComeInStoredOrderWithTheirBestImagesAndExactSizes)
{
    for (const char *name : {"groups32.dll", "groups64.dll"}) {
        SCOPED_TRACE(name);
        expectGroups(groupsOf(fixture(name)), kPeGroups);
    }
    // An icon library keeps its table's order.
    const auto groups = groupsOf(fixture("library.icl"));
    ASSERT_NO_FATAL_FAILURE(expectGroups(groups, kNeGroups));
    // The table rounds lengths up to 16 bytes; the group entries hold the real sizes.
    EXPECT_EQ(groups[0].images[1].data.size(), 40 + 16 * 4 + 16 * 8 + 16 * 4);
}

TEST(IconResources, GroupToIcoKeepsEveryImageInOrderOnceAndRefusesHugeIcons)
{
    for (const char *name : {"groups64.dll", "library.icl"}) {
        for (const IconGroup &group : groupsOf(fixture(name))) {
            SCOPED_TRACE(QString::fromStdU16String(group.name).toStdString());
            const std::string ico = groupToIco(group);
            const auto entries = readIconDirectory(bytesView(ico));
            ASSERT_TRUE(entries);
            ASSERT_EQ(entries->size(), group.images.size());
            for (size_t i = 0; i < entries->size(); ++i) {
                const IconDirEntry &e = (*entries)[i];
                const IconGroupImage &image = group.images[i];
                EXPECT_EQ(std::tuple(e.width, e.height, e.colorCount, e.planes, e.bitCount),
                          std::tuple(image.width, image.height, image.colorCount, image.planes,
                                     image.bitCount));
                EXPECT_EQ(ico.substr(e.imageOffset, e.bytesInRes), image.data);
            }
        }
    }
    // An icon file is one group, which writes back as it was.
    const QByteArray ico = fixture("beta.ico");
    ASSERT_EQ(imageCounts(ico), Counts{4});
    EXPECT_EQ(groupToIco(groupsOf(ico)[0]), bytesView(ico));

    // BETA's four images, then the same four again, then a copy of the first in its own bytes.
    const IconGroup beta = groupsOf(fixture("groups64.dll"))[1];
    IconGroup repeated = beta;
    repeated.images.insert(repeated.images.end(), beta.images.begin(), beta.images.end());
    repeated.images.push_back(beta.images[0]);
    const std::string copy(beta.images[0].data);
    repeated.images.back().data = copy;
    FormatError error;
    EXPECT_EQ(groupToIco(repeated, &error), groupToIco(beta));
    EXPECT_TRUE(error.message.empty());

    IconGroup many;
    std::list<std::string> numbers;
    for (int i = 0; i < 257; ++i)
        many.images.push_back(
            {{1, 1, 0, 1, 32, 4}, numbers.emplace_back(std::to_string(1000 + i))});
    EXPECT_TRUE(groupToIco(many, &error).empty());
    EXPECT_NE(error.message.find("256"), std::string::npos) << error.message;
    many.images.pop_back();
    error = {};
    EXPECT_EQ(readIconDirectory(bytesView(groupToIco(many, &error)))->size(), 256u);
    EXPECT_TRUE(error.message.empty());

    IconGroup large;
    const std::string fills[] = {std::string(33 << 20, 'a'), std::string(33 << 20, 'b')};
    for (const std::string &fill : fills)
        large.images.push_back({{256, 256, 0, 1, 32, 0}, fill});
    EXPECT_TRUE(groupToIco(large, &error).empty());
    EXPECT_NE(error.message.find("64 MiB"), std::string::npos) << error.message;
}

TEST(IconResources, FilesWithoutIconsAreToldApart)
{
    EXPECT_EQ(errorOf(fixture("noicons.dll")), FormatError::Kind::NoIcons);
    EXPECT_EQ(errorOf(fixture("make-fixtures.sh")), FormatError::Kind::WrongKind);
    EXPECT_EQ(errorOf(QByteArray()), FormatError::Kind::WrongKind);
    const QByteArray dos = QByteArray("MZ") + QByteArray(0x7E, '\0');
    for (uint32_t peAt : {0x40u, 0x7FFFFFFFu})
        EXPECT_EQ(errorOf(patched(dos, 0x3C, peAt)), FormatError::Kind::WrongKind);
    // A cursor file has the icon file's layout with type 2.
    EXPECT_EQ(errorOf(patched(fixture("beta.ico"), 2, 2, 2)), FormatError::Kind::WrongKind);

    const QByteArray pe = fixture("groups64.dll");
    const uint64_t optional = *ByteReader(bytesView(pe)).u32(0x3C) + 24;
    EXPECT_EQ(errorOf(patched(pe, optional, 0x107, 2)), FormatError::Kind::Damaged);
    // Two data directories: there is no resource directory.
    EXPECT_EQ(errorOf(patched(pe, optional + 108, 2)), FormatError::Kind::NoIcons);
}

TEST(IconResources, TruncatedFilesAreRefusedOrLoseImages)
{
    for (const char *name : {"groups32.dll", "library.icl", "beta.ico"}) {
        SCOPED_TRACE(name);
        const QByteArray file = fixture(name);
        const size_t whole = groupsOf(file).size();
        for (qsizetype length = 0; length < file.size(); ++length) {
            const auto groups = readIconGroups(bytesView(file).substr(0, size_t(length)));
            if (!groups)
                continue;
            ASSERT_LE(groups->size(), whole) << length;
            if (length % 61 != 0)
                continue;
            // Whether a group has an icon is told without decoding it, and told right.
            for (const IconGroup &g : *groups)
                EXPECT_EQ(groupHasIcon(g), groupIcon(g).has_value()) << length;
        }
    }
}

TEST(IconResources, LoopingDirectoriesAndHugeCountsAreRefused)
{
    const QByteArray file = fixture("groups64.dll");
    const PeTree tree(file);
    const uint64_t groupType = tree.idEntry(tree.root, 14);
    const uint64_t groupDir = tree.target(groupType);

    // The group type pointing back at the root.
    EXPECT_EQ(errorOf(patched(file, groupType + 4, 0x80000000u)), FormatError::Kind::Damaged);

    // A group pointing at its parent, at the root, or its language level at itself: that group
    // has no images and the others keep theirs.
    const uint64_t beta = tree.entry(groupDir, 1);
    const uint64_t betaLanguages = tree.target(beta);
    for (auto [at, target] : {std::pair(beta, groupDir), std::pair(beta, tree.root),
                              std::pair(tree.entry(betaLanguages, 0), betaLanguages)}) {
        const uint32_t back = 0x80000000u | uint32_t(target - tree.root);
        EXPECT_EQ(imageCounts(patched(file, at + 4, back)), (Counts{2, 0, 2, 1, 3}));
    }
    EXPECT_FALSE(groupIcon(IconGroup()));

    // Two groups sharing a language directory: the second is refused.
    const uint32_t shared = *tree.r.u32(beta + 4);
    EXPECT_EQ(imageCounts(patched(file, tree.entry(groupDir, 2) + 4, shared)),
              (Counts{2, 4, 0, 1, 3}));

    // Huge counts and sizes.
    for (uint64_t count : {tree.root + 14, groupDir + 12, uint64_t(*tree.r.u32(0x3C) + 6)})
        EXPECT_EQ(errorOf(patched(file, count, 0xFFFF, 2)), FormatError::Kind::Damaged);

    // A group claiming 65535 images keeps its place without them.
    const uint64_t zetaData =
        tree.data(tree.target(tree.entry(tree.target(tree.entry(groupDir, 2)), 0)));
    EXPECT_EQ(imageCounts(patched(file, zetaData + 4, 0xFFFF, 2)), (Counts{2, 4, 0, 1, 3}));

    // Data entries past the end, or at an address no section holds: the image is skipped.
    for (auto [at, value] : {std::pair(tree.dataEntry(3, 1) + 4, 0xFFFFFFF0u),
                             std::pair(tree.dataEntry(3, 1), 0x7FFFFFF0u)}) {
        const QByteArray changed = patched(file, at, value);
        ASSERT_EQ(imageCounts(changed), (Counts{2, 4, 1, 1, 3}));
        EXPECT_EQ(groupsOf(changed)[2].images[0].width, 32);
    }
}

TEST(IconResources, ImagesClaimingMoreThanTheirBytesAreSkipped)
{
    const QByteArray file = fixture("groups64.dll");
    const PeTree tree(file);

    // Group 3's only image: 4 bytes that claim 256 x 256.
    const uint64_t entry = tree.data(tree.dataEntry(14, 3)) + 6;
    auto groups = groupsOf(patched(patched(file, entry, 0, 2), tree.dataEntry(3, 8) + 4, 4));
    ASSERT_EQ(groups.size(), 5u);
    ASSERT_EQ(groups[3].images.size(), 1u);
    EXPECT_EQ(groups[3].images[0].width, 256);
    EXPECT_EQ(groups[3].images[0].data.size(), 4);
    EXPECT_FALSE(groupIcon(groups[3]));

    // BETA's 32-bit image grown to 256 x 256 on 32 x 32 bytes gives way to the next best.
    const uint64_t beta32 = tree.data(tree.dataEntry(3, 10));
    groups = groupsOf(patched(patched(file, beta32 + 4, 256), beta32 + 8, 512));
    ASSERT_EQ(groups.size(), 5u);
    const auto icon = groupIcon(groups[1]);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->bitCount, 8);
    EXPECT_EQ(icon->color.pixel(0, 0), 0xFFC000C0u);
}

TEST(IconResources, DamagedNeTablesAreRefusedOrLoseImages)
{
    const QByteArray file = fixture("library.icl");
    const uint64_t table = 0x40 + *ByteReader(bytesView(file)).u16(0x40 + 0x24);
    const uint64_t icons = table + 2;                        // the RT_ICON list comes first
    const uint64_t groupList = icons + 8 + uint64_t(5) * 12; // then the groups'
    const auto info = [&](uint64_t list, int i) { return list + 8 + 12 * uint64_t(i); };

    for (auto [at, value] : {std::pair(table, uint16_t(17)), std::pair(icons + 2, uint16_t(0xFFFF)),
                             std::pair(groupList + 2, uint16_t(0xFFFF))})
        EXPECT_EQ(errorOf(patched(file, at, value, 2)), FormatError::Kind::Damaged);
    // The largest alignment is read: every image then lies past the end.
    EXPECT_EQ(imageCounts(patched(file, table, 16, 2)), (Counts{0, 0, 0}));

    // Icon 1 (group 20's first image) past the end, then shorter than its group entry says.
    for (auto [at, value] : {std::pair(info(icons, 1), uint16_t(0xFFF0)),
                             std::pair(info(icons, 1) + 2, uint16_t(1))}) {
        const auto groups = groupsOf(patched(file, at, value, 2));
        ASSERT_EQ(imageCounts(patched(file, at, value, 2)), (Counts{1, 1, 2}));
        EXPECT_EQ(groups[0].images[0].width, 16);
    }

    // A group name past the end leaves the name empty; a group past the end has no images.
    const QByteArray changed =
        patched(patched(file, info(groupList, 1) + 6, 0x7FF0, 2), info(groupList, 2), 0xFFF0, 2);
    EXPECT_EQ(imageCounts(changed), (Counts{2, 1, 0}));
    EXPECT_TRUE(groupsOf(changed)[1].name.empty());
}

TEST(IconResources, GroupsThatShareOneImageAreJudgedFromItsHeadersOnce)
{
    QImage noise(1024, 1024, QImage::Format_ARGB32);
    std::srand(3);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, qRgba(std::rand(), std::rand(), std::rand(), 255));
    const QByteArray png = pngBytes(noise);
    const auto groups = groupsOf(peWithSharedIcon(2000, png));
    ASSERT_EQ(groups.size(), 2000u);
    EXPECT_EQ(groups[1999].images[0].data.data(), groups[0].images[0].data.data());
    EXPECT_EQ(leadingIconGroups(groups), 2000u);
    const auto icon = groupIcon(groups[1999]);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->width, 1024);
    EXPECT_EQ(icon->color.pixel(5, 7), noise.pixel(5, 7));

    // The list ends at the first group whose image's chunks run past its end.
    auto cut = groupsOf(peWithSharedIcon(3, png));
    cut[1].images[0].data.remove_suffix(10);
    EXPECT_EQ(leadingIconGroups(cut), 1u);
}
