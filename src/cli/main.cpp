// qlx: the command-line tool over the program's core.
#include "act_command.h"
#include "bench_command.h"
#include "cache_command.h"
#include "develop_bench_command.h"
#include "develop_command.h"
#include "info_command.h"
#include "kind_command.h"
#include "preview_command.h"
#include "rename_command.h"
#include "restore_command.h"
#include "scan_command.h"
#include "settings_command.h"
#include "tables_command.h"
#include "thumbs_bench_command.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: qlx COMMAND [ARGS]\n"
    "commands:\n"
    "  settings dump [FILE | --defaults]   the settings file's fields by name and value\n"
    "  kind FILE...                        the file kind bit and format name of each file\n"
    "  info FILE...                        metadata text, shooting data and chosen previews of each file\n"
    "  act KIND [--to DEST] [--yes] [--undo] FILE...  KIND: copy, move, trash, delete, rotate-cw,\n"
    "                                      rotate-ccw, thumbnail, tiff, jpeg\n"
    "                                      runs one action on each file and prints its log line;\n"
    "                                      --undo undoes it afterwards as the undo key does\n"
    "  restore [--yes] FILE...             takes each file back out of the trash to the path given\n"
    "  rename [--type N] [--prefix-type N] [--prefix TEXT] [--joiner N] [--date-joiner N] [--start N]\n"
    "         [--settings FILE] FOLDER      renames the files of FOLDER by pattern and prints the log lines\n"
    "  rename --replace OLD NEW FOLDER     replaces OLD by NEW in the names of the files of FOLDER\n"
    "  preview [--thumb] FILE -o OUT       writes the embedded preview (or thumbnail) of FILE to OUT\n"
    "  develop FILE... [--mode 0|1|2|3] [--jpeg|--tiff] [-o OUT] [--no-exif] [--replace]\n"
    "                                      develops each RAW file and writes it as TIFF (default) or JPEG\n"
    "  bench metadata DIR [--repeat N]     times the metadata pass over the listed files of DIR\n"
    "  bench thumbs DIR [--repeat N]       times making the list thumbnails of the listed files of DIR\n"
    "  bench develop FILE [--mode M] [--repeat N] [--cancel-after MS]\n"
    "                                      times developing the RAW file FILE, its memory and cancelling\n"
    "  scan FOLDER [--cache-dir DIR] [--settings FILE] [--full]\n"
    "                                      loads FOLDER as the program does and writes its cache file\n"
    "  cache show FILE.cac                 the header and records of a thumbnail cache file\n"
    "  tables [TABLE]                      the rows of the camera and lens list (camera, canon, nikon,\n"
    "                                      pentax, olympus, olympus_ext, sony)\n";

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "-h" || args[0] == "--help") {
        (args.empty() ? std::cerr : std::cout) << kUsage;
        return args.empty() ? 2 : 0;
    }
    const std::string command = args[0];
    args.erase(args.begin());
    try {
        if (command == "settings")
            return qlx::cli::runSettingsCommand(args, std::cout, std::cerr);
        if (command == "kind")
            return qlx::cli::runKindCommand(args, std::cout, std::cerr);
        if (command == "info")
            return qlx::cli::runInfoCommand(args, std::cout, std::cerr);
        if (command == "preview")
            return qlx::cli::runPreviewCommand(args, std::cout, std::cerr);
        if (command == "act")
            return qlx::cli::runActCommand(args, std::cout, std::cerr);
        if (command == "restore")
            return qlx::cli::runRestoreCommand(args, std::cout, std::cerr);
        if (command == "rename")
            return qlx::cli::runRenameCommand(args, std::cout, std::cerr);
        if (command == "develop")
            return qlx::cli::runDevelopCommand(args, std::cout, std::cerr, std::cout);
        if (command == "bench" && !args.empty() && args[0] == "develop")
            return qlx::cli::runDevelopBenchCommand(args, std::cout, std::cerr);
        if (command == "bench" && !args.empty() && args[0] == "thumbs")
            return qlx::cli::runThumbsBenchCommand(args, std::cout, std::cerr);
        if (command == "bench")
            return qlx::cli::runBenchCommand(args, std::cout, std::cerr);
        if (command == "scan")
            return qlx::cli::runScanCommand(args, std::cout, std::cerr);
        if (command == "cache")
            return qlx::cli::runCacheCommand(args, std::cout, std::cerr);
        if (command == "tables")
            return qlx::cli::runTablesCommand(args, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "qlx: " << e.what() << "\n";
        return 1;
    }
    std::cerr << "qlx: unknown command '" << command << "'\n" << kUsage;
    return 2;
}
