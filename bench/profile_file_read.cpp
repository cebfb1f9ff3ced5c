// profile_file_read generate-landxml|generate-csv FILE: writes a benchmark file.
// profile_file_read read FILE: reads it as the program does and prints the
// number of points; run under /usr/bin/time for the peak memory of a read.

#include <cstdio>
#include <cstring>
#include <string>

#include "bench/profile_files_data.h"
#include "io/atomic_write.h"

int main(int argc, char** argv) {
    using namespace tarnvel;
    if (argc != 3) {
        std::fputs("usage: profile_file_read generate-landxml|generate-csv|read FILE\n", stderr);
        return 2;
    }
    const std::string path = argv[2];
    std::optional<io::IoFailure> failure;
    if (std::strcmp(argv[1], "generate-landxml") == 0)
        failure = io::WriteFileAtomically(path, bench::GeneratedLandXml(10u << 20));
    else if (std::strcmp(argv[1], "generate-csv") == 0)
        failure = io::WriteFileAtomically(path, bench::GeneratedCsv(100000));
    else {
        const io::Result<ProfileModel> model = io::ReadProfileFile(path);
        if (!model.ok())
            failure = model.failure();
        else
            std::printf("%zu points\n", model.value().points.size());
    }
    if (failure) {
        std::fprintf(stderr, "%s\n", failure->message.c_str());
        return 1;
    }
    return 0;
}
