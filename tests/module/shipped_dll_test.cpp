// Checks on the shipped module, build/win32/bin/Tarnell_MFP.dll, as the simulator will see it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kSectionExecutable = 0x20000000;
constexpr uint32_t kSectionWritable = 0x80000000;

// The parts of a 32-bit PE image file the checks look at: header, sections, export directory
// and imported DLL names. Plain byte parsing, no Windows header.
struct PeImage {
    struct Section { uint32_t address, virtualSize, rawSize, rawOffset, characteristics; };

    // Reads and parses the file; the reason when it cannot.
    std::string Load(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        if (!file) return "cannot open it";
        bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        if (Word(0, 2) != 0x5A4D) return "no MZ header";
        const size_t pe = Word(0x3C);
        if (Word(pe) != 0x00004550) return "no PE signature";
        machine = Word(pe + 4, 2);
        const size_t optional = pe + 24;
        magic = Word(optional, 2);
        imageBase = Word(optional + 28);
        sizeOfImage = Word(optional + 56);
        for (size_t i = 0, header = optional + Word(pe + 20, 2); i < Word(pe + 6, 2); ++i, header += 40)
            sections.push_back({Word(header + 12), Word(header + 8), Word(header + 16), Word(header + 20), Word(header + 36)});
        if (const uint32_t rva = Word(optional + 96)) {  // the export directory
            const size_t directory = Offset(rva, 40);
            if (!directory) return "export directory outside the file";
            exportName = TextAt(Word(directory + 12));
            for (uint32_t i = 0; i < Word(directory + 24); ++i) {
                const size_t name = Offset(Word(directory + 32) + 4 * i, 4);
                const size_t ordinal = Offset(Word(directory + 36) + 2 * i, 2);
                const size_t function = ordinal ? Offset(Word(directory + 28) + 4 * Word(ordinal, 2), 4) : 0;
                if (!name || !function) return "export tables outside the file";
                exports[TextAt(Word(name))] = Word(function);
            }
        }
        for (uint32_t rva = Word(optional + 104); rva; rva += 20) {  // the import descriptors
            const size_t descriptor = Offset(rva, 20);
            if (!descriptor) return "import directory outside the file";
            if (!Word(descriptor + 12)) break;  // the all-zero terminator
            importedDlls.push_back(TextAt(Word(descriptor + 12)));
        }
        return "";
    }

    // The little-endian word of `size` bytes at a file offset (0 past the end).
    uint32_t Word(size_t offset, int size = 4) const {
        uint32_t word = 0;
        for (int i = size; i-- > 0;) word = word << 8 | (offset + i < bytes.size() ? bytes[offset + i] : 0);
        return word;
    }
    // The section holding an RVA, or null.
    const Section* SectionAt(uint32_t rva) const {
        for (const Section& section : sections)
            if (rva >= section.address && rva - section.address < (section.virtualSize ? section.virtualSize : section.rawSize))
                return &section;
        return nullptr;
    }
    // The file offset of `size` bytes at an RVA; 0 when the file does not hold them.
    size_t Offset(uint32_t rva, size_t size) const {
        const Section* section = SectionAt(rva);
        if (!section || rva - section->address + size > section->rawSize) return 0;
        const size_t offset = size_t{section->rawOffset} + (rva - section->address);
        return offset + size <= bytes.size() ? offset : 0;
    }
    std::string TextAt(uint32_t rva) const {
        std::string text;
        for (size_t offset = Offset(rva, 1); offset && offset < bytes.size() && bytes[offset]; ++offset)
            text += static_cast<char>(bytes[offset]);
        return text;
    }
    // The words of a record at an exported symbol.
    std::vector<uint32_t> WordsOf(const std::string& symbol, uint32_t count) const {
        std::vector<uint32_t> words;
        const auto found = exports.find(symbol);
        for (uint32_t i = 0; found != exports.end() && i < count; ++i)
            if (const size_t offset = Offset(found->second + 4 * i, 4)) words.push_back(Word(offset));
        return words;
    }

    std::vector<unsigned char> bytes;
    uint16_t machine = 0, magic = 0;
    uint32_t imageBase = 0, sizeOfImage = 0;
    std::vector<Section> sections;
    std::string exportName;
    std::map<std::string, uint32_t> exports;  // name -> RVA
    std::vector<std::string> importedDlls;
};

class ShippedModule : public testing::Test {
protected:
    static void SetUpTestSuite() { loadError = dll.Load(MFP_SHIPPED_DLL); }
    void SetUp() override {
        ASSERT_EQ(loadError, "") << MFP_SHIPPED_DLL
                                 << " (build it first: cmake --preset win32 && cmake --build --preset win32)";
    }
    static PeImage dll;
    static std::string loadError;
};
PeImage ShippedModule::dll;
std::string ShippedModule::loadError;

TEST_F(ShippedModule, IsA32BitImageForI386ExportingExactlyTheHostContractUnderItsName) {
    EXPECT_EQ(dll.magic, 0x010B);    // PE32
    EXPECT_EQ(dll.machine, 0x014C);  // i386
    EXPECT_EQ(dll.exportName, "Tarnell_MFP.dll");
    std::set<std::string> names;
    for (const auto& [name, rva] : dll.exports) names.insert(name);
    EXPECT_EQ(names, (std::set<std::string>{"ImportTable", "Linkage"}));
}

TEST_F(ShippedModule, ImportsOnlyWindowsSystemDlls) {
    const std::set<std::string> allowed = {"kernel32.dll", "user32.dll",   "gdi32.dll",    "msvcrt.dll",
                                           "ole32.dll",    "oleaut32.dll", "version.dll",  "shell32.dll",
                                           "advapi32.dll", "comctl32.dll", "comdlg32.dll"};
    ASSERT_FALSE(dll.importedDlls.empty());
    for (std::string name : dll.importedDlls) {
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        EXPECT_TRUE(allowed.count(name)) << "imports " << name;
    }
}

TEST_F(ShippedModule, LinkageRecordHoldsTheEntryPointsAndFixedWords) {
    const std::vector<uint32_t> words = dll.WordsOf("Linkage", 7);
    ASSERT_EQ(words.size(), 7u);
    // Module id, init, deinit, flags, priority, version, reserved.
    EXPECT_EQ((std::vector<uint32_t>{words[0], words[3], words[4], words[5], words[6]}),
              (std::vector<uint32_t>{0, 0, 0, 0x0900, 0}));
    for (int entry : {1, 2}) {
        // Stored as addresses at the preferred base; each must lead into code of this image.
        ASSERT_GT(words[entry], dll.imageBase) << "entry word " << entry;
        const uint32_t rva = words[entry] - dll.imageBase;
        ASSERT_LT(rva, dll.sizeOfImage) << "entry word " << entry;
        const PeImage::Section* section = dll.SectionAt(rva);
        ASSERT_NE(section, nullptr);
        EXPECT_TRUE(section->characteristics & kSectionExecutable) << "entry word " << entry;
    }
    EXPECT_NE(words[1], words[2]);
}

TEST_F(ShippedModule, ImportTableOffersThePanelsSlotForTheHostToFill) {
    EXPECT_EQ(dll.WordsOf("ImportTable", 4), (std::vector<uint32_t>{0x0F, 0, 0, 0}));
    const PeImage::Section* section = dll.SectionAt(dll.exports.at("ImportTable"));
    ASSERT_NE(section, nullptr);
    EXPECT_TRUE(section->characteristics & kSectionWritable) << "the host writes the table";
}

}  // namespace
