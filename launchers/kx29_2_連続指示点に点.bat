REM kx29 続けて指示した点のそれぞれに点を作図
@echo off
REM #jww
REM #cd
REM #1最初の点を指示してください
REM #99#次の点を指示してください（続けて指示できます）
REM #e
"%~dp0kx29.exe" 2
