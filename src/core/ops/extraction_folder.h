// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/atomic_file_batch.h"
#include "ops/txd_extraction.h"

namespace vc {

// The folder a dictionary is taken apart into when none is named: its path without the extension
// ("cars.txd" gives "cars"); for an archive's entry, the folder beside the archive named after the
// entry ("models/gta3.img:infernus.txd" gives "models/infernus").
std::string DefaultExtractionFolder(std::string_view dictionaryPath);

// Extraction into a folder, created when missing. Each file goes to a temporary file beside its
// target and nothing in the folder changes until Commit() puts them all in place, replacing files
// of the same names; nothing else there is touched. Destroyed without Commit(), it removes what it
// wrote, and the folder too when it made it and it is empty.
class ExtractionFolder final : public ExtractionSink {
  public:
    // Throws an Error when the folder cannot be made.
    explicit ExtractionFolder(std::string folder);
    ExtractionFolder(const ExtractionFolder&) = delete;
    ExtractionFolder& operator=(const ExtractionFolder&) = delete;
    ~ExtractionFolder() override;

    void Write(std::string_view fileName, std::span<const uint8_t> bytes) override;
    // The folder as an absolute path, which the extracted list names its images by.
    const std::string& AbsolutePath() const { return m_absolute; }
    // Whether the folder held anything before this extraction.
    bool WasFilled() const { return m_wasFilled; }
    // The files written so far that will replace files already in the folder.
    std::vector<std::string> ExistingFiles() const;
    // The files written so far that the folder does not hold yet.
    std::vector<std::string> MissingFiles() const;
    // Keeps the folder's own files of the names written: Commit() then adds only the missing ones.
    void KeepExisting() { m_batch.DropExisting(); }
    void Commit();

  private:
    std::string m_folder;
    std::string m_absolute;
    AtomicFileBatch m_batch;
    bool m_made = false;
    bool m_wasFilled = false;
    bool m_committed = false;
    std::vector<std::string> m_written;
};

// Reads a dictionary and takes it apart into a folder on up to jobs threads (on cores the program
// shares, when given), ready to be committed. Throws an Error saying where the dictionary is
// damaged when no texture of it can be read.
ExtractionResult ExtractTxdFile(std::string_view dictionaryPath, ExtractionFolder& folder,
                                const ExtractionProgress& progress = {}, unsigned jobs = DefaultJobCount(),
                                CoreShare* cores = nullptr);
// The same for a dictionary already opened from the path that names it.
ExtractionResult ExtractTxdFile(const ByteSource& file, std::string_view dictionaryPath, ExtractionFolder& folder,
                                const ExtractionProgress& progress, unsigned jobs, CoreShare* cores = nullptr);

}  // namespace vc
