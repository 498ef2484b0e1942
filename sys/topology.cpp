#include "sys/topology.h"

#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace sys {

bool ParseCpuList(const char* text, uint64_t& mask) {
    mask = 0;
    if (!text)
        return false;
    const char* p = text;
    bool any = false;
    while (*p && *p != '\n') {
        if (!std::isdigit(static_cast<unsigned char>(*p)))
            return false;
        char* end = nullptr;
        unsigned long first = std::strtoul(p, &end, 10);
        unsigned long last = first;
        p = end;
        if (*p == '-') {
            ++p;
            if (!std::isdigit(static_cast<unsigned char>(*p)))
                return false;
            last = std::strtoul(p, &end, 10);
            p = end;
            if (last < first)
                return false;
        }
        for (unsigned long i = first; i <= last && i < 64; ++i)
            mask |= 1ull << i;
        any = true;
        if (*p == ',')
            ++p;
        else if (*p && *p != '\n')
            return false;
    }
    return any;
}

uint32_t ReadCoreMasks(const char* root, uint64_t* masks, uint32_t capacity) {
    if (!root)
        return 0;
    DIR* dir = opendir(root);
    if (!dir)
        return 0;
    std::vector<unsigned> cpus;
    while (dirent* e = readdir(dir)) {
        const char* n = e->d_name;
        if (std::strncmp(n, "cpu", 3) != 0 || !n[3])
            continue;
        bool digits = true;
        for (const char* c = n + 3; *c; ++c)
            digits = digits && std::isdigit(static_cast<unsigned char>(*c));
        if (digits)
            cpus.push_back(static_cast<unsigned>(std::strtoul(n + 3, nullptr, 10)));
    }
    closedir(dir);
    std::sort(cpus.begin(), cpus.end());

    std::vector<uint64_t> found;
    for (unsigned cpu : cpus) {
        const std::string path =
            std::string(root) + "/cpu" + std::to_string(cpu) + "/topology/thread_siblings_list";
        FILE* f = std::fopen(path.c_str(), "r");
        if (!f)
            continue;
        char line[256] = {};
        const bool read = std::fgets(line, sizeof(line), f) != nullptr;
        std::fclose(f);
        uint64_t mask = 0;
        if (!read || !ParseCpuList(line, mask) || mask == 0)
            continue;
        if (std::find(found.begin(), found.end(), mask) == found.end())
            found.push_back(mask);
    }
    for (size_t i = 0; i < found.size() && i < capacity; ++i)
        masks[i] = found[i];
    return static_cast<uint32_t>(found.size());
}

} // namespace sys
