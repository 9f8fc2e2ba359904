#pragma once

// The fetcher against the test server as its tracker service, with rows whose hashes are
// runs of one digit, and the server's answers for them.

#include "list/TorrentList.h"
#include "tests/network/LoopbackServer.h"

#include <string>
#include <utility>
#include <vector>

namespace lintervale::testing {

using Texts = std::vector<std::string>;

inline const QString kName = "Test Service";

inline std::string Hash(char Digit) {
    return std::string(40, Digit);
}

class ServiceFetcherTestBase : public FetcherTestBase {
protected:
    // Starts the server and makes it the fetcher's service.
    bool startService() {
        if (!start()) {
            return false;
        }
        m_Fetcher->setService(m_Server->base(), kName);
        return true;
    }
    // Adds rows so that they stand in the given order from row 1 down.
    void rows(const std::vector<std::pair<std::string, std::string>>& NamesAndCells,
              const std::string& Digits = "ABCDEF") {
        for (int i = static_cast<int>(NamesAndCells.size()) - 1; i >= 0; --i) {
            m_List->AddRow(TTorrentRow{NamesAndCells[i].first, Hash(Digits[i]),
                                       NamesAndCells[i].second, "1", "1 MB"});
        }
    }
    void answer(char Digit, const QByteArray& Response, int Delay = 0) {
        m_Server->Answers.insert(path(Digit), {Response, TestServer::Mode::Answer, Delay});
    }
    void hold(char Digit, const QByteArray& Response) {
        m_Server->Answers.insert(path(Digit), {Response, TestServer::Mode::Held, 0});
    }
    static QByteArray path(char Digit) {
        return "/announce_" + QByteArray::fromStdString(Hash(Digit));
    }
};

} // namespace lintervale::testing
