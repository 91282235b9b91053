@echo off
rem Prépare la démonstration : un déploiement vers ce poste-ci (localhost et 127.0.0.2,
rem par le partage administratif C$) et vers un poste éteint (PC03-ETEINT).
chcp 1252 >nul
set D=%~dp0
mkdir "C:\Vantrel-demo\Outils" 2>nul
echo outil version 1> "C:\Vantrel-demo\Outils\outil.exe"
echo outil version 2> "%D%outil.exe"
echo [outil]> "%D%outil.ini"
(echo localhost& echo 127.0.0.2& echo PC03-ETEINT)> "%D%Demo.LPO"
(echo %D%outil.exe;\C$\Vantrel-demo\Outils& echo %D%outil.ini;\C$\Vantrel-demo\Outils)> "%D%Demo.Rgl"
(echo LocListePostes:%D%Demo.LPO& echo LocListeRègles:%D%Demo.Rgl)> "%D%Demo.VTR"
echo Démonstration prête : "%D%..\vantrel.exe" "%D%Demo.VTR"
