REM kx29 指示した2点の中点に点を作図
@echo off
REM #jww
REM #cd
REM #1中点を求める1点目を指示してください
REM #2中点を求める2点目を指示してください
REM #e
"%~dp0kx29.exe" 4
