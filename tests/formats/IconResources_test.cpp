#include "formats/IconResources.h"

#include <QFile>
#include <gtest/gtest.h>
#include <tuple>
#include <utility>

#include "formats/ByteReader.h"

namespace {

QByteArray fixture(const char *name)
{
    QFile f(QStringLiteral(PIXMINT_TEST_DATA "/good/resources/") + QString::fromLatin1(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

std::vector<IconGroup> groupsOf(const QByteArray &file)
{
    FormatError error;
    auto groups = readIconGroups(file, &error);
    EXPECT_TRUE(groups) << error.message.toStdString();
    return groups.value_or(std::vector<IconGroup>());
}

std::optional<FormatError::Kind> errorOf(const QByteArray &file)
{
    FormatError error;
    if (readIconGroups(file, &error))
        return std::nullopt;
    EXPECT_FALSE(error.message.isEmpty());
    return error.kind;
}

void put16(QByteArray &f, uint64_t at, uint16_t v)
{
    QByteArray le;
    appendLE16(le, v);
    f.replace(qsizetype(at), 2, le);
}

void put32(QByteArray &f, uint64_t at, uint32_t v)
{
    QByteArray le;
    appendLE32(le, v);
    f.replace(qsizetype(at), 4, le);
}

// Finds its way through a PE fixture's resource tree, to patch it.
struct PeTree
{
    explicit PeTree(const QByteArray &file)
        : r(file)
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
        EXPECT_EQ(groups[i].name, QString::fromLatin1(want[i].name));
        ASSERT_EQ(groups[i].images.size(), want[i].images);
        // Each image holds exactly the bytes its group entry gives it.
        for (const IconGroupImage &image : groups[i].images)
            EXPECT_EQ(uint32_t(image.data.size()), image.bytesInRes);
        const auto icon = groupIcon(groups[i]);
        ASSERT_TRUE(icon);
        EXPECT_EQ(icon->width, want[i].width);
        EXPECT_EQ(icon->height, want[i].width);
        EXPECT_EQ(icon->bitCount, want[i].bits);
        EXPECT_EQ(icon->color.pixel(0, 0), 0xFF000000u | want[i].color);
    }
}

} // namespace

TEST(IconResources, PeGroupsComeInStoredOrderWithTheirBestImages)
{
    for (const char *name : {"groups32.dll", "groups64.dll"}) {
        SCOPED_TRACE(name);
        const auto groups = groupsOf(fixture(name));
        // It asserts the counts that the indexes below rely on.
        ASSERT_NO_FATAL_FAILURE(expectGroups(groups, kPeGroups));
        // What the group entries say, 256 for a stored 0.
        const IconGroupImage &png = groups[0].images[0];
        EXPECT_EQ(png.width, 256);
        EXPECT_EQ(png.height, 256);
        EXPECT_TRUE(png.data.startsWith("\x89PNG"));
        const IconGroupImage &four = groups[1].images[0];
        EXPECT_EQ(std::tuple(four.width, four.colorCount, four.planes, four.bitCount),
                  std::tuple(32, 16, 1, 4));
    }
}

TEST(IconResources, NeIconLibraryInTableOrderWithExactImageSizes)
{
    const auto groups = groupsOf(fixture("library.icl"));
    ASSERT_NO_FATAL_FAILURE(expectGroups(groups, kNeGroups));
    // The table rounds lengths up to 16 bytes; the group entries hold the real sizes.
    EXPECT_EQ(groups[0].images[1].data.size(), 40 + 16 * 4 + 16 * 8 + 16 * 4);
}

TEST(IconResources, IcoFileIsOneGroupAndWritesBackUnchanged)
{
    const QByteArray file = fixture("beta.ico");
    const auto groups = groupsOf(file);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_TRUE(groups[0].name.isEmpty());
    EXPECT_EQ(groupToIco(groups[0]), file);
    const auto icon = groupIcon(groups[0]);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->color.pixel(0, 0), 0xFFFF00FFu);
}

TEST(IconResources, GroupToIcoKeepsEveryImageInOrder)
{
    for (const char *name : {"groups64.dll", "library.icl"}) {
        for (const IconGroup &group : groupsOf(fixture(name))) {
            SCOPED_TRACE(group.name.toStdString());
            const QByteArray ico = groupToIco(group);
            const auto entries = readIconDirectory(ico);
            ASSERT_TRUE(entries);
            ASSERT_EQ(entries->size(), group.images.size());
            for (size_t i = 0; i < entries->size(); ++i) {
                const IconDirEntry &e = (*entries)[i];
                const IconGroupImage &image = group.images[i];
                EXPECT_EQ(std::tuple(e.width, e.height, e.colorCount, e.planes, e.bitCount),
                          std::tuple(image.width, image.height, image.colorCount, image.planes,
                                     image.bitCount));
                EXPECT_EQ(ico.mid(e.imageOffset, e.bytesInRes), image.data);
            }
        }
    }
    EXPECT_TRUE(groupToIco(IconGroup()).isEmpty());
}

TEST(IconResources, GroupToIcoWritesRepeatedImagesOnceAndRefusesHugeIcons)
{
    // BETA's four images, then the same four again, then a copy of the first in its own bytes.
    const IconGroup beta = groupsOf(fixture("groups64.dll"))[1];
    IconGroup repeated = beta;
    repeated.images.insert(repeated.images.end(), beta.images.begin(), beta.images.end());
    repeated.images.push_back(beta.images[0]);
    repeated.images.back().data =
        QByteArray(beta.images[0].data.constData(), beta.images[0].data.size());
    FormatError error;
    EXPECT_EQ(groupToIco(repeated, &error), groupToIco(beta));
    EXPECT_TRUE(error.message.isEmpty());

    IconGroup many;
    for (int i = 0; i < 257; ++i)
        many.images.push_back({{1, 1, 0, 1, 32, 4}, QByteArray::number(1000 + i)});
    EXPECT_TRUE(groupToIco(many, &error).isEmpty());
    EXPECT_TRUE(error.message.contains(QStringLiteral("256"))) << error.message.toStdString();
    many.images.pop_back();
    error = {};
    EXPECT_EQ(readIconDirectory(groupToIco(many, &error))->size(), 256u);
    EXPECT_TRUE(error.message.isEmpty());

    IconGroup large;
    for (char fill : {'a', 'b'})
        large.images.push_back(
            {{256, 256, 0, 1, 32, 0}, QByteArray(qsizetype(33) * 1024 * 1024, fill)});
    EXPECT_TRUE(groupToIco(large, &error).isEmpty());
    EXPECT_TRUE(error.message.contains(QStringLiteral("64 MiB"))) << error.message.toStdString();
}

TEST(IconResources, FilesWithoutIconsAreToldApart)
{
    EXPECT_EQ(errorOf(fixture("noicons.dll")), FormatError::Kind::NoIcons);
    EXPECT_EQ(errorOf(fixture("make-fixtures.sh")), FormatError::Kind::WrongKind);
    EXPECT_EQ(errorOf(QByteArray()), FormatError::Kind::WrongKind);
    QByteArray dos(0x80, '\0');
    dos[0] = 'M';
    dos[1] = 'Z';
    put32(dos, 0x3C, 0x40);
    EXPECT_EQ(errorOf(dos), FormatError::Kind::WrongKind);
    put32(dos, 0x3C, 0x7FFFFFFF);
    EXPECT_EQ(errorOf(dos), FormatError::Kind::WrongKind);
    // A cursor file has the icon file's layout with type 2.
    QByteArray cursor = fixture("beta.ico");
    put16(cursor, 2, 2);
    EXPECT_EQ(errorOf(cursor), FormatError::Kind::WrongKind);

    QByteArray pe = fixture("groups64.dll");
    const uint64_t optional = *ByteReader(pe).u32(0x3C) + 24;
    put16(pe, optional, 0x107);
    EXPECT_EQ(errorOf(pe), FormatError::Kind::Damaged);
    // Two data directories: there is no resource directory.
    pe = fixture("groups64.dll");
    put32(pe, optional + 108, 2);
    EXPECT_EQ(errorOf(pe), FormatError::Kind::NoIcons);
}

TEST(IconResources, TruncatedFilesAreRefusedOrLoseImages)
{
    for (const char *name : {"groups32.dll", "library.icl", "beta.ico"}) {
        SCOPED_TRACE(name);
        const QByteArray file = fixture(name);
        const size_t whole = groupsOf(file).size();
        for (qsizetype length = 0; length < file.size(); ++length) {
            const auto groups = readIconGroups(file.first(length));
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

TEST(IconResources, LoopingDirectoriesAreRefused)
{
    const QByteArray file = fixture("groups64.dll");
    const PeTree tree(file);
    const uint64_t groupType = tree.idEntry(tree.root, 14);
    const uint64_t groupDir = tree.target(groupType);

    // The group type pointing back at the root.
    QByteArray patched = file;
    put32(patched, groupType + 4, 0x80000000u);
    EXPECT_EQ(errorOf(patched), FormatError::Kind::Damaged);

    // A group pointing at its parent, at the root, or its language level at itself: that group
    // has no images and the others keep theirs.
    const uint64_t beta = tree.entry(groupDir, 1);
    const uint64_t betaLanguages = tree.target(beta);
    for (auto [at, target] : {std::pair(beta, groupDir), std::pair(beta, tree.root),
                              std::pair(tree.entry(betaLanguages, 0), betaLanguages)}) {
        patched = file;
        put32(patched, at + 4, 0x80000000u | uint32_t(target - tree.root));
        const auto groups = groupsOf(patched);
        ASSERT_EQ(groups.size(), 5u);
        EXPECT_TRUE(groups[1].images.empty());
        EXPECT_FALSE(groupIcon(groups[1]));
        EXPECT_EQ(groups[0].images.size(), 2u);
        EXPECT_EQ(groups[4].images.size(), 3u);
    }

    // Two groups sharing a language directory: the second is refused.
    patched = file;
    put32(patched, tree.entry(groupDir, 2) + 4, *tree.r.u32(beta + 4));
    const auto groups = groupsOf(patched);
    ASSERT_EQ(groups.size(), 5u);
    EXPECT_EQ(groups[1].images.size(), 4u);
    EXPECT_TRUE(groups[2].images.empty());
}

TEST(IconResources, HugeCountsAndSizesAreRefused)
{
    const QByteArray file = fixture("groups64.dll");
    const PeTree tree(file);
    const uint64_t groupDir = tree.target(tree.idEntry(tree.root, 14));

    for (uint64_t count : {tree.root + 14, groupDir + 12}) {
        QByteArray patched = file;
        put16(patched, count, 0xFFFF);
        EXPECT_EQ(errorOf(patched), FormatError::Kind::Damaged);
    }
    QByteArray patched = file;
    put16(patched, *tree.r.u32(0x3C) + 6, 0xFFFF);
    EXPECT_EQ(errorOf(patched), FormatError::Kind::Damaged);

    // A group claiming 65535 images keeps its place without them.
    const uint64_t zetaData =
        tree.data(tree.target(tree.entry(tree.target(tree.entry(groupDir, 2)), 0)));
    patched = file;
    put16(patched, zetaData + 4, 0xFFFF);
    auto groups = groupsOf(patched);
    ASSERT_EQ(groups.size(), 5u);
    EXPECT_TRUE(groups[2].images.empty());

    // Data entries past the end, or at an address no section holds: the image is skipped.
    for (auto [at, value] : {std::pair(tree.dataEntry(3, 1) + 4, 0xFFFFFFF0u),
                             std::pair(tree.dataEntry(3, 1), 0x7FFFFFF0u)}) {
        patched = file;
        put32(patched, at, value);
        groups = groupsOf(patched);
        ASSERT_EQ(groups.size(), 5u);
        ASSERT_EQ(groups[2].images.size(), 1u);
        EXPECT_EQ(groups[2].images[0].width, 32);
    }
}

TEST(IconResources, ImagesClaimingMoreThanTheirBytesAreSkipped)
{
    const QByteArray file = fixture("groups64.dll");
    const PeTree tree(file);

    // Group 3's only image: 4 bytes that claim 256 x 256.
    QByteArray patched = file;
    const uint64_t entry = tree.data(tree.dataEntry(14, 3)) + 6;
    put16(patched, entry, 0);
    put32(patched, tree.dataEntry(3, 8) + 4, 4);
    auto groups = groupsOf(patched);
    ASSERT_EQ(groups.size(), 5u);
    ASSERT_EQ(groups[3].images.size(), 1u);
    EXPECT_EQ(groups[3].images[0].width, 256);
    EXPECT_EQ(groups[3].images[0].data.size(), 4);
    EXPECT_FALSE(groupIcon(groups[3]));

    // BETA's 32-bit image grown to 256 x 256 on 32 x 32 bytes gives way to the next best.
    patched = file;
    const uint64_t beta32 = tree.data(tree.dataEntry(3, 10));
    put32(patched, beta32 + 4, 256);
    put32(patched, beta32 + 8, 512);
    groups = groupsOf(patched);
    ASSERT_EQ(groups.size(), 5u);
    const auto icon = groupIcon(groups[1]);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->bitCount, 8);
    EXPECT_EQ(icon->color.pixel(0, 0), 0xFFC000C0u);

    // A PNG whose header reads but whose data is cut short gives no icon; a DIB beside it does.
    IconGroup cut;
    cut.images.push_back(groupsOf(file)[0].images[0]);
    cut.images[0].data.truncate(100);
    EXPECT_FALSE(groupHasIcon(cut));
    EXPECT_FALSE(groupIcon(cut));
    cut.images.push_back(groupsOf(file)[2].images[0]);
    EXPECT_TRUE(groupHasIcon(cut));
}

TEST(IconResources, DamagedNeTablesAreRefusedOrLoseImages)
{
    const QByteArray file = fixture("library.icl");
    const uint64_t table = 0x40 + *ByteReader(file).u16(0x40 + 0x24);
    const uint64_t icons = table + 2;                        // the RT_ICON list comes first
    const uint64_t groupList = icons + 8 + uint64_t(5) * 12; // then the groups'
    const auto info = [&](uint64_t list, int i) { return list + 8 + 12 * uint64_t(i); };

    for (auto [at, value] : {std::pair(table, uint16_t(40)), std::pair(icons + 2, uint16_t(0xFFFF)),
                             std::pair(groupList + 2, uint16_t(0xFFFF))}) {
        QByteArray patched = file;
        put16(patched, at, value);
        EXPECT_EQ(errorOf(patched), FormatError::Kind::Damaged);
    }

    // Icon 1 (group 20's first image) past the end, then shorter than its group entry says.
    for (auto [at, value] : {std::pair(info(icons, 1), uint16_t(0xFFF0)),
                             std::pair(info(icons, 1) + 2, uint16_t(1))}) {
        QByteArray patched = file;
        put16(patched, at, value);
        const auto groups = groupsOf(patched);
        ASSERT_EQ(groups.size(), 3u);
        ASSERT_EQ(groups[0].images.size(), 1u);
        EXPECT_EQ(groups[0].images[0].width, 16);
        EXPECT_EQ(groups[2].images.size(), 2u);
    }

    // A group name past the end leaves the name empty; a group past the end has no images.
    QByteArray patched = file;
    put16(patched, info(groupList, 1) + 6, 0x7FF0);
    put16(patched, info(groupList, 2), 0xFFF0);
    const auto groups = groupsOf(patched);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_TRUE(groups[1].name.isEmpty());
    EXPECT_EQ(groups[1].images.size(), 1u);
    EXPECT_TRUE(groups[2].images.empty());
}
