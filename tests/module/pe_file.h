// A reader for the parts of a Windows PE image file the module checks look at: header,
// sections, export directory and imported DLL names. Plain byte parsing, no Windows header.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct PeSection {
    std::string name;
    uint32_t virtualAddress = 0;
    uint32_t virtualSize = 0;
    uint32_t rawOffset = 0;
    uint32_t rawSize = 0;
    uint32_t characteristics = 0;
};

class PeFile {
public:
    static constexpr uint16_t kMachineI386 = 0x014C;
    static constexpr uint16_t kMagicPe32 = 0x010B;
    static constexpr uint32_t kSectionExecutable = 0x20000000;
    static constexpr uint32_t kSectionWritable = 0x80000000;

    // Reads and parses the file; on failure Error() says why.
    bool Load(const std::string& path);
    const std::string& Error() const { return error; }

    uint16_t Machine() const { return machine; }
    uint16_t OptionalHeaderMagic() const { return magic; }
    uint64_t ImageBase() const { return imageBase; }
    uint32_t SizeOfImage() const { return sizeOfImage; }
    // Where the COFF symbol table starts, 0 without one. Debug sections come with it: their long
    // names live in its string table.
    uint32_t SymbolTableOffset() const { return symbolTable; }
    const std::string& ExportName() const { return exportName; }
    // Exported name -> RVA.
    const std::map<std::string, uint32_t>& Exports() const { return exports; }
    const std::vector<std::string>& ImportedDlls() const { return importedDlls; }

    // The section holding an RVA, or null.
    const PeSection* SectionAt(uint32_t rva) const;
    // The little-endian 32-bit word at an RVA; false when the RVA has no bytes in the file.
    bool ReadWord(uint32_t rva, uint32_t& word) const;

private:
    bool Fail(const std::string& why);
    bool ParseExports(uint32_t rva);
    bool ParseImports(uint32_t rva);
    bool Offset(uint32_t rva, size_t size, size_t& offset) const;
    uint16_t U16(size_t offset) const;
    uint32_t U32(size_t offset) const;
    std::string TextAt(uint32_t rva) const;

    std::vector<unsigned char> bytes;
    std::string error;
    uint16_t machine = 0;
    uint16_t magic = 0;
    uint64_t imageBase = 0;
    uint32_t sizeOfImage = 0;
    uint32_t symbolTable = 0;
    std::vector<PeSection> sections;
    std::string exportName;
    std::map<std::string, uint32_t> exports;
    std::vector<std::string> importedDlls;
};
