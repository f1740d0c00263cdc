#pragma once
#include <cstdint>
#include <thread>
#include <vector>

namespace qurix {

class CPartLibrary;

// The ImageIdentity of every entry of some libraries, in entry order (libraries in the
// order given, 0 for a missing entry), made on a worker thread: a start reads the
// thumbnail cache meanwhile instead of after. The libraries must stay loaded until Take
// or Wait.
class CEntryIdentities {
public:
    CEntryIdentities();
    // Waits for the worker; the thread it owns keeps the object from being copied or moved.
    ~CEntryIdentities();

    // Starts making the identities of these libraries' entries and returns at once.
    void Start(std::vector<const CPartLibrary*> libraries);
    // The identities of these libraries' entries: those started when the libraries are
    // the same, else made now.
    std::vector<uint64_t> Take(const std::vector<const CPartLibrary*>& libraries);
    // Waits for the worker and forgets what it made (the libraries are about to go).
    void Wait();

private:
    void Join();

    std::thread worker_;
    std::vector<const CPartLibrary*> libraries_;  // only referred to
    std::vector<uint64_t> identities_;
};

}  // namespace qurix
