// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "batch_run.h"
#include "commands.h"
#include "dictionary_build.h"
#include "exit_status.h"
#include "input_files.h"
#include "io/error.h"
#include "io/file_io.h"
#include "io/file_names.h"
#include "ops/folder_contents.h"
#include "terminal_progress.h"
#include "terminal_text.h"
#include "usage_error.h"

namespace vc::cli {

namespace {

constexpr Option kTreeOutput = {"output", 'o', "OUTDIR",
                                "the folder the dictionaries go into, each at its folder's path under SRC"};

// A folder that becomes a dictionary: its path under the source, and the files it is built from.
struct TreeFolder {
    std::string Relative;  // "cars/sports"; the source's own name for the source itself
    std::vector<std::string> Inputs;
};

// What a folder is built from: its texture lists when it holds any (they name its images), else
// its images, in name order; nothing when it holds neither.
std::vector<std::string> FolderInputs(const std::filesystem::path& folder) {
    std::vector<std::string> files = ExpandFolders(std::vector{FromFsPath(folder)}, FolderDictionaries::Left);
    if (files.size() == 1 && files[0] == FromFsPath(folder)) {
        return {};
    }
    std::vector<std::string> lists;
    std::copy_if(files.begin(), files.end(), std::back_inserter(lists),
                 [](const std::string& file) { return LowerAscii(FileExtension(file)) == ".txt"; });
    return lists.empty() ? files : lists;
}

std::vector<TreeFolder> FoldersOf(std::string_view source) {
    const std::filesystem::path root = std::filesystem::absolute(ToFsPath(source)).lexically_normal();
    if (!std::filesystem::is_directory(root)) {
        throw Error(ErrorKind::Read, std::string(source) + " is no folder");
    }
    std::vector<std::filesystem::path> folders = {root};
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(root, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error)) {
            folders.push_back(it->path());
        }
    }
    if (error) {
        throw Error(ErrorKind::Read, "Cannot list the folders under " + std::string(source) + ": " + error.message());
    }
    const std::string rootName = root.has_filename() ? FromFsPath(root.filename()) : "textures";
    std::vector<TreeFolder> found;
    for (const std::filesystem::path& folder : folders) {
        std::vector<std::string> inputs = FolderInputs(folder);
        if (!inputs.empty()) {
            const std::string relative = folder == root ? rootName : folder.lexically_relative(root).generic_string();
            found.push_back({relative, std::move(inputs)});
        }
    }
    // The same order on every system and for any number of jobs.
    std::sort(found.begin(), found.end(),
              [](const TreeFolder& a, const TreeFolder& b) { return a.Relative < b.Relative; });
    return found;
}

// A folder's build as the run reports it, with its dictionary still to be put in place.
struct FolderBuilt {
    std::string Out;
    std::string Err;
    bool Written = false;
    bool Incomplete = false;  // inputs refused or left out, or not built at all
    std::unique_ptr<AtomicFile> Unplaced;
};

std::string NotWrittenLine(const TreeFolder& folder) {
    return TerminalName(folder.Relative) + ": not written\n";
}

std::string FailureLine(const TreeFolder& folder, const Error& failure) {
    return "vellumcraft-cli: " + TerminalName(folder.Relative) + ": " + failure.what() + '\n';
}

FolderBuilt BuildFolder(const ParsedArguments& arguments, const TreeFolder& folder, const std::string& outputFolder,
                        unsigned jobs) {
    const std::string output = FromFsPath(ToFsPath(outputFolder) / ToFsPath(folder.Relative + ".txd"));
    std::error_code error;
    std::filesystem::create_directories(ToFsPath(output).parent_path(), error);
    std::ostringstream out;
    std::ostringstream err;
    out << TerminalName(folder.Relative) << ": ";
    const std::vector<std::string_view> inputs(folder.Inputs.begin(), folder.Inputs.end());
    FolderBuilt built;
    try {
        DictionaryBuilt result = BuildDictionary(arguments, inputs, output, jobs, {out, err}, Placing::ByCaller);
        built.Written = result.Written;
        built.Incomplete = result.Status != kSuccess;
        built.Unplaced = std::move(result.Unplaced);
        built.Out = out.str();
        built.Err = err.str();
    } catch (const Error& failure) {
        // One folder's failure is reported, and the others are built.
        built.Out = NotWrittenLine(folder);
        built.Err = err.str() + FailureLine(folder, failure);
        built.Incomplete = true;
    }
    return built;
}

// Puts a folder's dictionary in place (a flush, then a rename: the workers build on meanwhile).
void Place(const TreeFolder& folder, FolderBuilt& built) {
    if (!built.Unplaced) {
        return;
    }
    try {
        built.Unplaced->Commit();
    } catch (const Error& failure) {
        built.Out = NotWrittenLine(folder);
        built.Err += FailureLine(folder, failure);
        built.Written = false;
        built.Incomplete = true;
    }
}

int RunBuildTree(const ParsedArguments& arguments, const Streams& streams) {
    const std::vector<std::string_view>& operands = arguments.Operands();
    if (operands.size() != 1) {
        throw UsageError("build-tree takes exactly one source folder");
    }
    const std::string outputFolder = OutputFile(arguments, kTreeOutput);
    // Options that cannot be used end the run before any folder is built.
    DictionaryOptions(arguments);
    OutputDefaults(arguments);
    const std::vector<TreeFolder> folders = FoldersOf(operands[0]);
    std::vector<std::string> names;
    for (const TreeFolder& folder : folders) {
        names.push_back(folder.Relative);
    }
    size_t built = 0;
    std::vector<std::string> incomplete;
    TerminalProgress progress(streams, "build-tree");
    RunBatch(
        names, JobCount(arguments), progress,
        [&](unsigned jobs, size_t i) { return BuildFolder(arguments, folders[i], outputFolder, jobs); },
        [&](size_t i, FolderBuilt folder) {
            Place(folders[i], folder);
            streams.Err << folder.Err;
            streams.Out << folder.Out;
            built += folder.Written ? 1 : 0;
            if (folder.Incomplete) {
                incomplete.push_back(folders[i].Relative);
            }
        });
    streams.Out << built << " of " << folders.size() << " folders built into " << outputFolder;
    if (!incomplete.empty()) {
        streams.Out << "; " << incomplete.size() << " with inputs refused or left out";
    }
    streams.Out << '\n';
    return incomplete.empty() ? kSuccess : kIncomplete;
}

}  // namespace

const Command kBuildTreeCommand = {
    .Name = "build-tree",
    .Synopsis = "SRC -o OUTDIR [OPTION...]",
    .Summary = "write every folder of images or lists under SRC as a dictionary",
    .Description =
        "Every folder under SRC (SRC itself included) that holds images or texture lists becomes the\n"
        "dictionary OUTDIR/<its path under SRC>.txd, built as build builds it: from the folder's texture\n"
        "lists when it holds any (they name its images), else from its images in name order. SRC itself\n"
        "becomes OUTDIR/<SRC's name>.txd. Folders are built side by side on the workers and reported in\n"
        "the order of their paths: each prints its result line, its refused inputs go to stderr, and a\n"
        "summary ends the run. The dictionaries and the output are the same for any number of jobs.",
    .Options = BuildOptions(kTreeOutput),
    .ExitStatus =
        "Exit status: 0 every folder's every input became a texture; 1 some input was refused or left out,\n"
        "or a folder could not be built (the others were); 2 bad usage; 3 SRC cannot be read.",
    .Run = RunBuildTree,
};

}  // namespace vc::cli
