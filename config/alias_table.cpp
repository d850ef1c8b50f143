#include "config/alias_table.h"

namespace kt {

const AliasEntry kAliasTable[26] = {
    {"%ROOT%", kAliasRoot},
    {"%WINDOW%", kAliasWindow},
    {"%SYSTEM%", kAliasSystem},
    {"%PROGRAMFILES%", kAliasProgramFiles},
    {"%PROGRAM FILES%", kAliasProgramFiles},
    {"%ORVA%", kAliasMaker},
    {"%QUORIX%", kAliasPlatform},
    {"%INSTALL%", kAliasInstall},
    {"%COMPONENT%", kAliasComponent},
    {"%SETUP%", kAliasSetup},
    {"%ALIAS%", kAliasAlias},
    {"%APPDATAROM%", kAliasAppDataRoaming},
    {"%APPDATA%", kAliasAppData},
    {"%APPDATALOW%", kAliasAppDataLow},
    {"%EXECPATH%", kAliasExecPath},
    {"%ENGINE%", kAliasEngine},
    {"%TOOL%", kAliasTool},
    {"%USERAPP%", kAliasUserApp},
    {"%DESKTOP%", kAliasDesktop},
    {"%STARTMENU%", kAliasStartMenu},
    {"%PROGRAMS%", kAliasPrograms},
    {"%PERSONAL%", kAliasPersonal},
    {"%USER%", kAliasUser},
    {"%USERAPP_ORVA%", kAliasUserAppMaker},
    {"%USERAPP_QXP%", kAliasUserAppPlatform},
    {nullptr, kAliasEnd},
};

AliasCode LookupAlias(const std::string& upperToken)
{
    for (const AliasEntry* entry = kAliasTable; entry->name; ++entry)
        if (upperToken == entry->name) return entry->code;
    return kAliasAlias;
}

}  // namespace kt
