@echo off
rem A server on UDP port 1234 with a quiet log; Ctrl-C stops it.
setlocal
cd /d "%~dp0"
set MODE=SERVER
set SPDLOG_LEVEL=warn
voidlance.exe
rem Keeps the window open so that an error can be read.
if errorlevel 1 pause
