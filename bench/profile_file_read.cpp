// profile_file_read generate-landxml|generate-csv FILE [SIZE]: writes a
// benchmark file (SIZE: megabytes of LandXML, default 10; rows of CSV,
// default 100000).
// profile_file_read read FILE: reads it as the program does and prints the
// number of points; run under /usr/bin/time for the peak memory of a read.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/profile_files_data.h"
#include "io/atomic_write.h"

int main(int argc, char** argv) {
    using namespace tarnvel;
    if (argc != 3 && argc != 4) {
        std::fputs("usage: profile_file_read generate-landxml|generate-csv|read FILE [SIZE]\n", stderr);
        return 2;
    }
    const std::string path = argv[2];
    const std::size_t size = argc == 4 ? std::strtoull(argv[3], nullptr, 10) : 0;
    std::optional<io::IoFailure> failure;
    if (std::strcmp(argv[1], "generate-landxml") == 0)
        failure = io::WriteFileAtomically(path, bench::GeneratedLandXml((size > 0 ? size : 10) << 20));
    else if (std::strcmp(argv[1], "generate-csv") == 0)
        failure = io::WriteFileAtomically(path, bench::GeneratedCsv(size > 0 ? size : 100000));
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
