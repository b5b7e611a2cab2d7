REM kx29 設定：作図する点のレイヤ・線色・点マーカーを決める
@echo off
REM #jww
REM #cd
REM #e
"%~dp0kx29.exe"
