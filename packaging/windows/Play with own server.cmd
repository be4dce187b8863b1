@echo off
rem A server and a client in one process, with a quiet log.
setlocal
cd /d "%~dp0"
set MODE=CLIENTSERVER
set SPDLOG_LEVEL=warn
voidlance.exe
rem Keeps the window open so that an error can be read.
if errorlevel 1 pause
