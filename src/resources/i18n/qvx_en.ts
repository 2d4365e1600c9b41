<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="DontShowAgain">
        <source>Don&apos;t show this again</source>
        <translation>Don&apos;t show this again</translation>
    </message>
    <message id="OpenSplashAtStartup">
        <source>Show the welcome window at start-up</source>
        <translation>Show the welcome window at start-up</translation>
    </message>
    <message id="ResetDontShowAgainChoices">
        <source>Show All Warnings Again</source>
        <translation>Show All Warnings Again</translation>
    </message>
    <message id="ShowDisclosedView">
        <source>Show or hide the details</source>
        <translation>Show or hide the details</translation>
    </message>
</context>
</TS>
