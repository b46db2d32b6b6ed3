// The Morse code table: which dots and dashes each character has, and the reverse lookup from a
// path of dots and dashes to its character.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "messages.h"

namespace keytut {

constexpr int kMaxElements = 7;
constexpr std::int32_t kDot = 1;
constexpr std::int32_t kDash = 3;

inline const char* const kCodeTableFile = "KEYTUT.CDE";

struct CodeTable {
    // Row c: the elements of character c in dot units (1 dot, 3 dash), ending at the first 0.
    std::array<std::array<std::int32_t, kMaxElements>, 256> codeElements{};
    // Entry n: the character whose path of elements has tree number n; "_" where none. The
    // number of a path starts at 0; a dot takes n to 2n + 1 and a dash to 2n + 2.
    std::array<std::string, 256> decodeTree{};

    CodeTable();
    void clear();
};

// Fills the table from the code table file in `folder`. Returns false, after showing
// "File KEYTUT.CDE missing" (or that it is too large), when the file cannot be read; the program
// then ends. Faulty records
// are reported through `messages` with their record number and loading goes on.
bool loadCodeTable(CodeTable& table, const std::filesystem::path& folder, MessageSink& messages);

constexpr long long kShownFaultyLines = 10;

// Same, from the file's contents. Only the first kShownFaultyLines faulty records are reported
// one by one; the rest are counted in one last message naming `fileName`.
void loadCodeTableFrom(CodeTable& table, std::string contents, MessageSink& messages,
                       const std::string& fileName = kCodeTableFile);

// "N more faulty lines in FILE" ("1 more faulty line in FILE").
std::string moreFaultyLinesMessage(long long count, const std::string& fileName);

// What the tools say of the characters of a text they skipped for want of a code, `skipped` of
// `total`, the characters in `distinct` (each once, in order): 8 of 11 characters have no code in
// capitals.cde and were skipped: "c" "q" "d" ... (a byte that is not printable as "(byte 7)").
std::string skippedCharactersNote(std::size_t skipped, std::size_t total,
                                  const std::string& distinct, const std::string& tableName);

}  // namespace keytut
