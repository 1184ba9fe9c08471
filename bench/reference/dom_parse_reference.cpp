// dom-parse-reference FILE: the reference a whole import is held against, as
// a whole process: read the file in one piece and parse it in place into a
// DOM with pugixml (its defaults, the system allocator), then print how many
// elements the root holds. Exit 1 when the file cannot be read, 2 when it
// does not parse.
#include <pugixml.hpp>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: dom-parse-reference FILE\n", stderr);
        return 1;
    }
    // One read of the whole file, the cheapest way to have it in memory.
    std::FILE* file = std::fopen(argv[1], "rb");
    if (file == nullptr || std::fseek(file, 0, SEEK_END) != 0) return 1;
    const long size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) return 1;
    std::vector<char> text(static_cast<std::size_t>(size));
    const bool read = std::fread(text.data(), 1, text.size(), file) == text.size();
    std::fclose(file);
    if (!read) return 1;
    pugi::xml_document document;
    if (!document.load_buffer_inplace(text.data(), text.size())) return 2;
    std::size_t elements = 0;
    for (const pugi::xml_node child : document.first_child().children()) {
        (void)child;
        ++elements;
    }
    std::printf("%zu\n", elements);
    return 0;
}
