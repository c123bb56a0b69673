#include "tests/module/pe_file.h"

#include <fstream>
#include <iterator>

bool PeFile::Fail(const std::string& why) {
    error = why;
    return false;
}

uint16_t PeFile::U16(size_t offset) const {
    return offset + 2 <= bytes.size() ? static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8) : 0;
}

uint32_t PeFile::U32(size_t offset) const {
    return offset + 4 <= bytes.size() ? static_cast<uint32_t>(U16(offset) | uint32_t{U16(offset + 2)} << 16) : 0;
}

const PeSection* PeFile::SectionAt(uint32_t rva) const {
    for (const PeSection& section : sections) {
        const uint32_t size = section.virtualSize ? section.virtualSize : section.rawSize;
        if (rva >= section.virtualAddress && rva - section.virtualAddress < size) return &section;
    }
    return nullptr;
}

bool PeFile::Offset(uint32_t rva, size_t size, size_t& offset) const {
    const PeSection* section = SectionAt(rva);
    if (!section || rva - section->virtualAddress + size > section->rawSize) return false;
    offset = size_t{section->rawOffset} + (rva - section->virtualAddress);
    return offset + size <= bytes.size();
}

bool PeFile::ReadWord(uint32_t rva, uint32_t& word) const {
    size_t offset = 0;
    if (!Offset(rva, 4, offset)) return false;
    word = U32(offset);
    return true;
}

std::string PeFile::TextAt(uint32_t rva) const {
    size_t offset = 0;
    if (!Offset(rva, 1, offset)) return std::string();
    std::string text;
    while (offset < bytes.size() && bytes[offset] != 0) text += static_cast<char>(bytes[offset++]);
    return text;
}

bool PeFile::Load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return Fail("cannot open " + path);
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (U16(0) != 0x5A4D) return Fail("no MZ header");
    const size_t pe = U32(0x3C);
    if (U32(pe) != 0x00004550) return Fail("no PE signature");
    machine = U16(pe + 4);
    const uint16_t sectionCount = U16(pe + 6);
    symbolTable = U32(pe + 12);
    const uint16_t optionalSize = U16(pe + 20);
    const size_t optional = pe + 24;
    magic = U16(optional);
    const bool pe32 = magic == kMagicPe32;
    imageBase = pe32 ? U32(optional + 28) : (uint64_t{U32(optional + 24)} | uint64_t{U32(optional + 28)} << 32);
    sizeOfImage = U32(optional + 56);
    const size_t directories = optional + (pe32 ? 96 : 112);

    for (size_t i = 0, header = optional + optionalSize; i < sectionCount; ++i, header += 40) {
        PeSection section;
        for (size_t c = 0; c < 8 && header + c < bytes.size() && bytes[header + c]; ++c)
            section.name += static_cast<char>(bytes[header + c]);
        section.virtualSize = U32(header + 8);
        section.virtualAddress = U32(header + 12);
        section.rawSize = U32(header + 16);
        section.rawOffset = U32(header + 20);
        section.characteristics = U32(header + 36);
        sections.push_back(section);
    }
    if (!ParseExports(U32(directories))) return false;
    return ParseImports(U32(directories + 8));
}

bool PeFile::ParseExports(uint32_t rva) {
    size_t directory = 0;
    if (!rva) return true;
    if (!Offset(rva, 40, directory)) return Fail("export directory outside the file");
    exportName = TextAt(U32(directory + 12));
    const uint32_t nameCount = U32(directory + 24);
    const uint32_t functions = U32(directory + 28);
    const uint32_t names = U32(directory + 32);
    const uint32_t ordinals = U32(directory + 36);
    for (uint32_t i = 0; i < nameCount; ++i) {
        size_t name = 0, ordinal = 0, function = 0;
        if (!Offset(names + 4 * i, 4, name) || !Offset(ordinals + 2 * i, 2, ordinal) ||
            !Offset(functions + 4 * U16(ordinal), 4, function))
            return Fail("export tables outside the file");
        exports[TextAt(U32(name))] = U32(function);
    }
    return true;
}

bool PeFile::ParseImports(uint32_t rva) {
    for (size_t descriptor = 0; rva; rva += 20) {
        if (!Offset(rva, 20, descriptor)) return Fail("import directory outside the file");
        const uint32_t name = U32(descriptor + 12);
        if (!name) break;  // the all-zero terminator
        importedDlls.push_back(TextAt(name));
    }
    return true;
}
