#include "cli_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quarry {

namespace {

std::string shellWord(const std::string& text) {
    std::string out = "'";
    for (const char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string contentOf(const std::filesystem::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

} // namespace

cCliResult runCli(const std::vector<std::string>& args, const cCliRunOptions& options) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("quarry-cli-run-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string out =
        shellWord(options.outputPath.empty() ? (folder / "out").string() : options.outputPath);
    const std::string err = shellWord((folder / "err").string());
    const std::string cacheHome =
        options.cacheHome.empty() ? (folder / "cache").string() : options.cacheHome;
    std::string command = "XDG_CACHE_HOME=" + shellWord(cacheHome) + " timeout " +
                          std::to_string(options.timeLimitSeconds) + " " +
                          shellWord(QUARRY_CLI_PATH);
    for (const std::string& arg : args)
        command += " " + shellWord(arg);
    command += " >" + out;
    if (!options.folder.empty()) command = "cd " + shellWord(options.folder) + " && " + command;
    if (options.terminal)
        command =
            "script -qefc " + shellWord(command) + " /dev/null </dev/null >" + err + " 2>/dev/null";
    else
        command += " 2>" + err;
    const int raw = std::system(command.c_str());
    cCliResult result;
    result.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = contentOf(folder / "out");
    result.err = contentOf(folder / "err");
    std::filesystem::remove_all(folder);
    return result;
}

} // namespace quarry
