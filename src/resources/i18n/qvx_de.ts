<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name></name>
    <message id="DontShowAgain">
        <source>Don&apos;t show this again</source>
        <translation>Nicht mehr anzeigen</translation>
    </message>
    <message id="OpenSplashAtStartup">
        <source>Show the welcome window at start-up</source>
        <translation>Begrüßungsfenster beim Start anzeigen</translation>
    </message>
    <message id="ResetDontShowAgainChoices">
        <source>Show All Warnings Again</source>
        <translation>Alle Warnungen wieder anzeigen</translation>
    </message>
    <message id="ShowDisclosedView">
        <source>Show or hide the details</source>
        <translation>Details ein- oder ausblenden</translation>
    </message>
</context>
</TS>
