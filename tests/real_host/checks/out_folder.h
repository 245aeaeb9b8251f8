// The folder scripts/real-host.sh filled, as real_host_checks was given it.
#pragma once

#include <string>

const std::string& RealHostOutFolder();
