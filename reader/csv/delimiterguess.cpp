#include "delimiterguess.h"

#include <algorithm>
#include <array>
#include <vector>

namespace reader {

namespace {

const std::array<char, 4> kCandidates = {',', ';', '\t', '|'};
// Enough records to tell a delimiter from a character that data holds by chance.
constexpr std::size_t kSampleBytes = 64 * 1024;
constexpr std::size_t kSampleRecords = 100;

// Per record of the sample, how often each candidate stands outside quotes.
std::vector<std::array<int, 4>> countPerRecord(const char* text, std::size_t size)
{
    std::vector<std::array<int, 4>> records;
    std::array<int, 4> counts{};
    bool quoted = false;
    bool blank = true;
    const std::size_t end = std::min(size, kSampleBytes);
    for (std::size_t i = 0; i < end && records.size() < kSampleRecords; ++i) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '\n' || c == '\r')) {
            if (!blank)
                records.push_back(counts);
            counts = {};
            blank = true;
            continue;
        } else if (!quoted) {
            const auto at = std::find(kCandidates.begin(), kCandidates.end(), c);
            if (at != kCandidates.end())
                ++counts[std::size_t(at - kCandidates.begin())];
        }
        blank = false;
    }
    // A record cut by the end of the sample may hold fewer; one the text ends on is whole.
    if (!blank && (end == size || records.empty()))
        records.push_back(counts);
    return records;
}

} // namespace

char guessDelimiter(const char* utf8, std::size_t size)
{
    const std::vector<std::array<int, 4>> records = countPerRecord(utf8, size);
    char best = ',';
    std::size_t bestAgreeing = 0;
    int bestCount = 0;
    for (std::size_t k = 0; k < kCandidates.size(); ++k) {
        // The count most records share, and how many share it.
        std::vector<int> counts;
        for (const std::array<int, 4>& record : records)
            if (record[k] > 0)
                counts.push_back(record[k]);
        std::sort(counts.begin(), counts.end());
        for (std::size_t i = 0; i < counts.size();) {
            const std::size_t j = std::size_t(std::upper_bound(counts.begin(), counts.end(), counts[i]) - counts.begin());
            if (j - i > bestAgreeing || (j - i == bestAgreeing && counts[i] > bestCount)) {
                best = kCandidates[k];
                bestAgreeing = j - i;
                bestCount = counts[i];
            }
            i = j;
        }
    }
    return best;
}

} // namespace reader
