#pragma once
// The servers that tests/servers/run-with-servers.sh started for this test program: where they
// listen, where their document roots are, and what they logged.
#include <string>
#include <vector>

namespace rig {

// Port offsets from the base port (see tests/servers/rig.sh).
enum Server { kHost1 = 1, kHost2 = 2, kSite1 = 3, kSite2 = 4, kSite3 = 5, kSite4 = 6, kDown = 8, kFault = 9,
              // HTTPS, site1's files, with a certificate for another name, expired, from an
              // unknown CA.
              kWrongName = 17, kExpired = 18, kUnknownCa = 19 };
// The HTTPS twin of an nginx host (kHost1 .. kSite4): its files, its own log, a good certificate.
Server Tls(Server server);

// True when the wrapper announced the servers; tests that need them skip otherwise.
bool Available();

std::wstring Host(Server server);  // "127.0.0.1:PORT"
std::wstring Url(Server server, const std::wstring& path);  // "http://" + host + path
// Windows path of a file (or folder, with an empty path) under an nginx host's document root;
// `path` uses "/" and starts with "/".
std::wstring DocumentPath(Server server, const std::wstring& path);
// Writes `bytes` to that path, creating its folders.
void Publish(Server server, const std::wstring& path, const std::string& bytes);

// Requests a server has logged since the rig started, as "GET /path..." lines.
std::string Log(Server server);
// How many of them name `path` exactly (nginx) or start with it (the fault server, which logs
// the query too). nginx logs a request just after answering it, so this waits up to 3 s for
// the count to reach `expected` before it answers.
int CountRequests(Server server, const std::string& path, int expected = 0);

// The fault server's own record of its answers to requests whose path (and query) start with
// `path`, in order, as "STATUS BODY_BYTES RANGE" (RANGE: the request's Range header or "-").
// It writes a record when an answer ends, so this waits up to 3 s for `expected` of them.
std::vector<std::string> FaultAnswers(const std::string& path, size_t expected);

// The rig's CA (DER), which signed the good certificates; only tests that trust it get through.
std::wstring CaPath();

// Windows path of a file in the rig's state folder.
std::wstring StatePath(const std::wstring& relative);

// Bytes 'a'..'z' by position, as the fault server fills bodies; `seed` varies the pattern.
std::string Pattern(size_t size, int seed = 0);

}  // namespace rig
