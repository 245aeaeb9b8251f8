// The folder scripts/real-host.sh filled, as the check program was given it
// (out_folder.cpp holds the programs' one main()).
#pragma once

#include <string>

const std::string& RealHostOutFolder();
