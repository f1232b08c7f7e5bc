@echo off
rem SPDX-FileCopyrightText: 2026 Tarnwick
rem SPDX-License-Identifier: MIT
rem Starts Solvane in the user's own quotes folder, given a copy of the sample quotes the
rem first time; later starts and updates never replace it.
set "here=%~dp0"
set "folder=%APPDATA%\Solvane"
if not exist "%folder%" mkdir "%folder%"
if not exist "%folder%\Quotes.txt" copy "%here%Quotes.txt" "%folder%\Quotes.txt" >nul
cd /d "%folder%"
start "" "%here%solvane.exe" %*
