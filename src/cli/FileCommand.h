#pragma once

// What the headless commands share: each file of the command line is worked on by itself,
// side by side on every core, and what each gives is written in the order of the files. The
// file whose turn it is writes as it goes, so a huge torrent's output is never held whole.

#include "list/FileBuffer.h"

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lintervale {

// Where a file's output goes: straight out when it is that file's turn, kept until then
// otherwise.
class TFileSink {
public:
    virtual ~TFileSink() = default;
    virtual void Write(std::string_view Text) = 0;
};

// Text that goes to a sink in pieces of about Piece bytes.
class TChunkedText {
public:
    static constexpr std::size_t kPiece = std::size_t{1} << 16;

    explicit TChunkedText(TFileSink& Sink) : m_Sink(Sink) {}
    ~TChunkedText() { Flush(); }
    std::string& Text() { return m_Text; }
    // Hands the text over once it is a piece long.
    void Pass() {
        if (m_Text.size() >= kPiece) {
            Flush();
        }
    }
    void Flush() {
        if (!m_Text.empty()) {
            m_Sink.Write(m_Text);
            m_Text.clear();
        }
    }

private:
    TFileSink& m_Sink;
    std::string m_Text;
};

// What one file gave besides its output: whether it was done, and when not, the line for the
// error stream.
struct TFileOutcome {
    bool Done = false;
    std::string Err;
};

using TFileWork =
    std::function<TFileOutcome(const std::string& File, TFileBuffer& Buffer, TFileSink& Out)>;

// Text written before the files' output, between two files' outputs and after them.
struct TFraming {
    std::string_view Before;
    std::string_view Between;
    std::string_view After;
};

// Runs Work on every file (from several threads at once, each with a buffer of its own) and
// writes the outcomes in order: output to Out, errors to Err, the output before each error
// line so that both streams read in the files' order. Returns 0 only when every file was done
// and every byte reached Out; a write that fails (a full disk, a closed pipe) is named on Err
// with the system's reason.
int RunFileCommand(const std::vector<std::string>& Files, const TFileWork& Work,
                   const TFraming& Framing, std::FILE* Out, std::FILE* Err);

// Reads a file named on the command line into Buffer: standard input as whatever it is, any
// other name only as a regular file (FileBuffer.h).
void ReadCommandFile(const std::string& File, TFileBuffer& Buffer);

// The words for the exception being handled, a read's or a load's cause included; called
// in a catch block.
std::string FailureText();

// Flushes Out and tells whether everything written to it arrived; if not, says why on Err.
bool FinishOutput(std::FILE* Out, std::FILE* Err);

} // namespace lintervale
