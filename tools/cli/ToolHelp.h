#pragma once
// The tool's help and usage texts.
#include <string>

std::string ToolUsageText();
std::string ToolHelpText();
