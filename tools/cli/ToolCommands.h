#pragma once
// eiftool's commands besides the audit: each reads its files, runs the publisher's code and
// prints what it found. Each returns the exit status: 0 done, 1 failed (a line says why).
#include <string>
#include <vector>

#include "tools/cli/CommandLine.h"

int KeyGen(const std::string& folder);
int SignKey(const std::string& folder);
int Hash(const std::vector<std::string>& paths);
int Pack(const PackArguments& args);
int Unpack(const std::string& keyPath, const std::string& inPath);
int Check(const CheckArguments& args);
