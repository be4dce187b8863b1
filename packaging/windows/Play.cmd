@echo off
rem The game client with a quiet log (warnings and errors only).
setlocal
cd /d "%~dp0"
set MODE=CLIENT
set SPDLOG_LEVEL=warn
voidlance.exe
rem Keeps the window open so that an error can be read.
if errorlevel 1 pause
