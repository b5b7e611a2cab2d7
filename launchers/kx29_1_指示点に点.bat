REM kx29 指示した点に点を作図
@echo off
REM #jww
REM #cd
REM #1点を作図する位置を指示してください
REM #e
"%~dp0kx29.exe" 1
