// Checks on the shipped programs as Windows will see them: the module,
// build/win32/bin/Tarnell_MFP.dll, and the tool beside it, mfp.exe.
#include "tests/module/pe_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

namespace {

// The DLLs a program imports that are not in `allowed`, in lower case.
std::vector<std::string> ImportsOutside(const PeFile& file, const std::set<std::string>& allowed) {
    std::vector<std::string> outside;
    for (std::string name : file.ImportedDlls()) {
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        if (!allowed.count(name)) outside.push_back(name);
    }
    return outside;
}

class ShippedModule : public testing::Test {
protected:
    static void SetUpTestSuite() {
        loaded = dll.Load(MFP_SHIPPED_DLL);
        if (!loaded) loadError = dll.Error();
    }
    void SetUp() override {
        ASSERT_TRUE(loaded) << MFP_SHIPPED_DLL << ": " << loadError
                            << " (build it first: cmake --preset win32 && cmake --build --preset win32)";
    }
    static PeFile dll;
    static bool loaded;
    static std::string loadError;
};
PeFile ShippedModule::dll;
bool ShippedModule::loaded = false;
std::string ShippedModule::loadError;

TEST_F(ShippedModule, IsA32BitImageForI386) {
    EXPECT_EQ(dll.OptionalHeaderMagic(), PeFile::kMagicPe32);
    EXPECT_EQ(dll.Machine(), PeFile::kMachineI386);
}

TEST_F(ShippedModule, ExportsExactlyTheHostContractUnderItsName) {
    EXPECT_EQ(dll.ExportName(), "Tarnell_MFP.dll");
    std::set<std::string> names;
    for (const auto& [name, rva] : dll.Exports()) names.insert(name);
    EXPECT_EQ(names, (std::set<std::string>{"ImportTable", "Linkage"}));
}

TEST_F(ShippedModule, ImportsOnlyWindowsSystemDlls) {
    const std::set<std::string> allowed = {"kernel32.dll", "user32.dll", "gdi32.dll",   "msvcrt.dll",
                                           "ole32.dll",    "oleaut32.dll", "version.dll", "shell32.dll",
                                           "advapi32.dll", "comctl32.dll", "comdlg32.dll"};
    ASSERT_FALSE(dll.ImportedDlls().empty());
    EXPECT_EQ(ImportsOutside(dll, allowed), std::vector<std::string>{});
}

TEST_F(ShippedModule, CarriesNoSymbolsOrDebugInformation) {
    EXPECT_EQ(dll.SymbolTableOffset(), 0u);
}

// The same static runtime as the module; mfp panels loads the HID libraries by name when it runs.
TEST(ShippedTool, IsA32BitImageForI386WithoutSymbolsImportingOnlyTheRuntimeAndKernel) {
    PeFile tool;
    ASSERT_TRUE(tool.Load(MFP_SHIPPED_TOOL)) << MFP_SHIPPED_TOOL << ": " << tool.Error();
    EXPECT_EQ(tool.OptionalHeaderMagic(), PeFile::kMagicPe32);
    EXPECT_EQ(tool.Machine(), PeFile::kMachineI386);
    EXPECT_EQ(ImportsOutside(tool, {"kernel32.dll", "msvcrt.dll"}), std::vector<std::string>{});
    EXPECT_EQ(tool.SymbolTableOffset(), 0u);
}

TEST_F(ShippedModule, LinkageRecordHoldsTheEntryPointsAndFixedWords) {
    const auto found = dll.Exports().find("Linkage");
    ASSERT_NE(found, dll.Exports().end());
    uint32_t words[7] = {};
    for (uint32_t i = 0; i < 7; ++i) ASSERT_TRUE(dll.ReadWord(found->second + 4 * i, words[i])) << "word " << i;
    EXPECT_EQ(words[0], 0u);  // module id
    for (int entry : {1, 2}) {
        // Stored as addresses at the preferred base; each must lead into code of this image.
        ASSERT_GT(words[entry], dll.ImageBase()) << "entry word " << entry;
        const uint64_t rva = words[entry] - dll.ImageBase();
        ASSERT_LT(rva, dll.SizeOfImage()) << "entry word " << entry;
        const PeSection* section = dll.SectionAt(static_cast<uint32_t>(rva));
        ASSERT_NE(section, nullptr);
        EXPECT_TRUE(section->characteristics & PeFile::kSectionExecutable) << section->name;
    }
    EXPECT_NE(words[1], words[2]);
    EXPECT_EQ(words[3], 0u);       // flags
    EXPECT_EQ(words[4], 0u);       // priority
    EXPECT_EQ(words[5], 0x0900u);  // version
    EXPECT_EQ(words[6], 0u);
}

TEST_F(ShippedModule, ImportTableOffersThePanelsSlotForTheHostToFill) {
    const auto found = dll.Exports().find("ImportTable");
    ASSERT_NE(found, dll.Exports().end());
    uint32_t words[4] = {};
    for (uint32_t i = 0; i < 4; ++i) ASSERT_TRUE(dll.ReadWord(found->second + 4 * i, words[i]));
    EXPECT_EQ(words[0], 0x0Fu);
    EXPECT_EQ(words[1], 0u);
    EXPECT_EQ(words[2], 0u);
    EXPECT_EQ(words[3], 0u);
    const PeSection* section = dll.SectionAt(found->second);
    ASSERT_NE(section, nullptr);
    EXPECT_TRUE(section->characteristics & PeFile::kSectionWritable) << "the host writes the table";
}

}  // namespace
