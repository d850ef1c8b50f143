// Drives one update with the control, as a page would: the server address and the application
// key come from the command line, and the platform version when a third argument gives it. Prints
// the outcome, the local record and where components go.
var args = WScript.Arguments;
if (args.length < 2) {
  WScript.Echo("usage: cscript //nologo update.js UPDATE_URL KEY [VERSION]");
  WScript.Quit(2);
}
var qx = new ActiveXObject("Kt_QxInstaller3.KtQxInstaller320");
if (args.length > 2) qx.Version = args(2);
qx.Key = args(1);
qx.UpdateURL = args(0);
qx.UpdateKillQuorix = "NOKILL";
qx.StartDownload();
WScript.Echo("ErrorCode: " + qx.ErrorCode);
WScript.Echo("ErrorMsg:  " + qx.ErrorMsg);
WScript.Echo("Local record of the configuration list: " + qx.VersionLocalFile);

WScript.Echo("Components go to " + qx.AliasToRealPath("%COMPONENT%"));
WScript.Quit(qx.ErrorCode == 0 ? 0 : 1);
