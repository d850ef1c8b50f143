#pragma once
// The updater's option record: the values of one update run and of the platform's later start,
// read from the process command line. Two forms are understood:
//   option pairs   QxUpdater320.exe -D WIN32 -V 3.2 -K App -L FALSE -R FALSE -NLE TRUE -UKM NOKILL
//   positional     QxUpdater320.exe [Device] [ReInstall] [Key] [Launch] [StartXml] [UpdateURL]
// The positional form is read only when no option pair is found. Every value but KillMode is
// kept as the text given; the dialog interprets it when it hands it to the control.
#include <string>
#include <vector>

#include "updater/options/command_line_tokenizer.h"

class Kt_RunnerHelper {
public:
  static constexpr std::size_t kMaxOptionTokens = 256;
  static constexpr std::size_t kMaxPositionalTokens = 16;

  std::string DeviceType = "WIN32";  // -D
  std::string Key;                   // -K
  std::string StartXML;              // -X
  std::string UpdateURL;             // -U
  std::string Version = "3.0";       // -V
  std::string ComponentPath;         // -C
  std::string Launch;                // -L
  std::string ReInstall;             // -R
  std::string PreVersionCompare;     // -P
  std::string ExeName;               // -E
  std::string Left;                  // -Lf
  std::string Top;                   // -Tp
  std::string Width;                 // -Wd
  std::string Height;                // -Ht
  std::string StartImage;            // -G
  std::string ExecPath;              // -EP
  std::string Scroll;                // -SC
  std::string SiteKey;               // -SK
  std::string BI;                    // -BI: the updater's own background image
  std::string NotLaunchForErr;       // -NLE
  std::string Resource;              // -RES
  std::string UResource;             // -URES
  std::string GlobalVal;             // -GV
  std::string OnlyOne;               // -OO
  std::string Retry;                 // -Rt
  std::string TimeOut;               // -TO
  int KillMode = 0;                  // -UKM, see kill_mode.h

  // Fills the record from the whole process command line, program path included: every value
  // starts from its default, then the option pairs are read, or the positional form when there
  // is no option pair. Nothing fails; what is not understood is skipped.
  void Parse(const std::string& commandLine);

  // The tokenizer over the record's own state: a text starts a new line, null continues it.
  bool NextToken(const char* text, std::string& token) { return tokenizer_.Next(text, token); }

  // True when `token` names one of the options, without regard to case.
  static bool IsOptionName(const std::string& token);

private:
  // The option form; answers whether at least one pair was taken.
  bool ParseOptions(const std::string& commandLine);
  void ParsePositional(const std::string& commandLine);
  // The non-empty tokens of the line, at most `limit`, without a leading program path.
  std::vector<std::string> Arguments(const std::string& commandLine, std::size_t limit);

  Kt_CommandLineTokenizer tokenizer_;
};
