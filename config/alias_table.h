// The path aliases: a path may begin with one of these tokens, which stands for a folder of the
// selected device. Tokens are matched upper-cased.
#pragma once

#include <string>

namespace kt {

enum AliasCode : int {
    kAliasNone = 0,
    kAliasRoot = 1,
    kAliasWindow = 2,
    kAliasSystem = 3,
    kAliasProgramFiles = 4,
    kAliasMaker = 4101,
    kAliasPlatform = 4102,
    kAliasSetup = 4105,
    kAliasEngine = 4113,
    kAliasTool = 4114,
    kAliasInstall = 12295,
    kAliasComponent = 12296,
    kAliasAlias = 12298,
    kAliasExecPath = 12304,
    kAliasUserApp = 12307,
    kAliasAppDataRoaming = 32779,
    kAliasAppData = 32780,
    kAliasAppDataLow = 32781,
    kAliasUser = 32792,
    kAliasUserAppMaker = 32800,
    kAliasDesktop = 49172,
    kAliasStartMenu = 49173,
    kAliasPrograms = 49174,
    kAliasPersonal = 49175,
    kAliasUserAppPlatform = 49185,
    kAliasEnd = 65535,  // ends the table; also the result for a token without its closing "%"
};

struct AliasEntry {
    const char* name;
    AliasCode code;
};

// The 25 aliases in their fixed order, followed by the end entry (no name, code 65535).
extern const AliasEntry kAliasTable[26];

// The code of an upper-cased token such as "%SYSTEM%"; a token not in the table counts as
// "%ALIAS%".
AliasCode LookupAlias(const std::string& upperToken);

}  // namespace kt
