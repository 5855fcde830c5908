// Stands in for libFuzzer where clang's fuzzer runtime is missing: replays the
// seed files named on the command line, then a fixed, reproducible stream of
// mutations of them, through the same LLVMFuzzerTestOneInput.
//
//   fuzz_x [-runs=N] [-seed=S] [file-or-folder...]

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Input = std::vector<uint8_t>;

void Load(const std::filesystem::path& path, std::vector<Input>& seeds)
{
    if (std::filesystem::is_directory(path)) {
        for (const auto& entry : std::filesystem::directory_iterator(path))
            Load(entry.path(), seeds);
        return;
    }
    std::ifstream in(path, std::ios::binary);
    seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Random {
public:
    explicit Random(uint64_t seed) : m_state(seed ? seed : 1) {}
    uint64_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return m_state;
    }
    size_t Below(size_t n) { return n ? Next() % n : 0; }

private:
    uint64_t m_state;
};

Input Mutate(Input input, const std::vector<Input>& seeds, Random& random)
{
    static const uint8_t interesting[] = {0x00, 0x01, 0x20, 0x3F, 0x40, 0x7F, 0x80,
                                          0xBF, 0xC0, 0xFF, '0', 'x', ';', ' ', '\r', '\n'};
    const size_t steps = 1 + random.Below(6);
    for (size_t i = 0; i < steps; ++i) {
        switch (random.Below(6)) {
        case 0:
            if (!input.empty())
                input[random.Below(input.size())] ^= uint8_t(1u << random.Below(8));
            break;
        case 1:
            if (input.size() < 8192)
                input.insert(input.begin() + long(random.Below(input.size() + 1)),
                             uint8_t(random.Next()));
            break;
        case 2:
            if (!input.empty())
                input.erase(input.begin() + long(random.Below(input.size())));
            break;
        case 3:
            if (!input.empty())
                input[random.Below(input.size())] =
                    interesting[random.Below(sizeof interesting)];
            break;
        case 4:
            if (!seeds.empty() && input.size() < 8192) {
                const Input& other = seeds[random.Below(seeds.size())];
                input.insert(input.begin() + long(random.Below(input.size() + 1)),
                             other.begin(), other.end());
            }
            break;
        default:
            for (size_t n = random.Below(64); n > 0 && input.size() < 8192; --n)
                input.push_back(uint8_t(random.Next()));
            break;
        }
    }
    return input;
}

} // namespace

int main(int argc, char** argv)
{
    long runs = 10000;
    uint64_t seed = 1;
    std::vector<Input> seeds;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "-runs=", 6) == 0)
            runs = std::atol(argv[i] + 6);
        else if (std::strncmp(argv[i], "-seed=", 6) == 0)
            seed = std::strtoull(argv[i] + 6, nullptr, 10);
        else if (argv[i][0] != '-')
            Load(argv[i], seeds);
    }
    for (const Input& input : seeds)
        LLVMFuzzerTestOneInput(input.data(), input.size());

    Random random(seed);
    for (long i = 0; i < runs; ++i) {
        Input base = seeds.empty() ? Input{} : seeds[random.Below(seeds.size())];
        Input input = Mutate(std::move(base), seeds, random);
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("replayed %zu seeds and %ld mutated inputs\n", seeds.size(), runs);
    return 0;
}
