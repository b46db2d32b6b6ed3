// Prints the characters the program's generator draws from a text, for end-to-end tests that
// must know what a run started with --seed will send: print_draws SEED TEXT COUNT.
#include <charconv>
#include <cstdint>
#include <iostream>
#include <string>

#include "core/random.h"

int main(int argc, char** argv) {
    std::uint64_t seed = 0;
    int count = 0;
    if (argc != 4 ||
        std::from_chars(argv[1], argv[1] + std::char_traits<char>::length(argv[1]), seed).ec !=
            std::errc() ||
        std::from_chars(argv[3], argv[3] + std::char_traits<char>::length(argv[3]), count).ec !=
            std::errc() ||
        std::string(argv[2]).empty() || count < 0) {
        std::cerr << "usage: print_draws SEED TEXT COUNT\n";
        return 2;
    }
    keytut::Random random(seed);
    const std::string text = argv[2];
    for (int i = 0; i < count; ++i)
        std::cout << random.characterOf(text);
    std::cout << '\n';
    return 0;
}
