<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>ixo::BenchStrip</name>
    <message>
        <source>The library could not add the restore to its audit trail: %1</source>
        <translation>ライブラリは復元を監査証跡に記録できませんでした: %1</translation>
    </message>
    <message>
        <source>Bench &amp;state:</source>
        <translation>ベンチ状態(&amp;S):</translation>
    </message>
    <message>
        <source>Capture &amp;Bench...</source>
        <translation>ベンチを取得(&amp;B)...</translation>
    </message>
    <message>
        <source>Capture every instrument of the bench at once under one name</source>
        <translation>ベンチのすべての測定器を一つの名前で一度に取得する</translation>
    </message>
    <message>
        <source>Restore Be&amp;nch</source>
        <translation>ベンチを復元(&amp;N)</translation>
    </message>
    <message>
        <source>Restore the chosen bench state on every instrument, in the bench's order</source>
        <translation>選んだベンチ状態をベンチの順にすべての測定器へ復元する</translation>
    </message>
    <message>
        <source>Kept for %1</source>
        <translation>%1 に保存</translation>
    </message>
    <message>
        <source>Capture Bench</source>
        <translation>ベンチを取得</translation>
    </message>
    <message>
        <source>Restore Bench</source>
        <translation>ベンチを復元</translation>
    </message>
    <message>
        <source>Capturing bench state %1: %2 of %3 instruments answered</source>
        <translation>ベンチ状態 %1 を取得しています: %3 台中 %2 台が応答しました</translation>
    </message>
    <message>
        <source>Cancelling the capture of bench state %1...</source>
        <translation>ベンチ状態 %1 の取得を取り消しています...</translation>
    </message>
    <message>
        <source>Bench state "%1" was not captured: cancelled by the user. No list changed.</source>
        <translation>ベンチ状態「%1」は取得されませんでした: ユーザーが取り消しました。リストは変更されていません。</translation>
    </message>
    <message>
        <source>Restoring bench state %1...</source>
        <translation>ベンチ状態 %1 を復元しています...</translation>
    </message>
    <message>
        <source>Cancelling the restore of bench state %1...</source>
        <translation>ベンチ状態 %1 の復元を取り消しています...</translation>
    </message>
    <message>
        <source>Restoring %1 (%2 of %3)</source>
        <translation>%1 を復元しています (%3 台中 %2 台目)</translation>
    </message>
    <message>
        <source>Bench state %1</source>
        <translation>ベンチ状態 %1</translation>
    </message>
    <message>
        <source>Bench state "%1" captured on %2 instruments.</source>
        <translation>ベンチ状態「%1」を %2 台の測定器で取得しました。</translation>
    </message>
    <message>
        <source>Bench state "%1" restored.</source>
        <translation>ベンチ状態「%1」を復元しました。</translation>
    </message>
    <message>
        <source>Bench state "%1" restored:

%2</source>
        <translation>ベンチ状態「%1」を復元しました:

%2</translation>
    </message>
    <message>
        <source>Bench state "%1" was not restored completely.</source>
        <translation>ベンチ状態「%1」は完全には復元されませんでした。</translation>
    </message>
    <message>
        <source>Bench state "%1" was not restored completely:

%2</source>
        <translation>ベンチ状態「%1」は完全には復元されませんでした:

%2</translation>
    </message>
    <message>
        <source>Put back the setups the restore replaced on %1?</source>
        <translation>復元で置き換えられた設定を %1 に戻しますか?</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Put back the setups of %1.</source>
        <translation>%1 の設定を戻しました。</translation>
    </message>
    <message>
        <source>These setups could not be put back:

%1</source>
        <translation>次の設定を戻せませんでした:

%1</translation>
    </message>
    <message>
        <source>restored</source>
        <translation>復元済み</translation>
    </message>
    <message>
        <source>has no such state</source>
        <translation>その状態がありません</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>失敗</translation>
    </message>
    <message>
        <source>not restored (an earlier role failed)</source>
        <translation>復元されていません (前のロールが失敗しました)</translation>
    </message>
    <message>
        <source>IxoInstrSetups</source>
        <translation>IxoInstrSetups</translation>
    </message>
</context>
<context>
    <name>ixo::ConnectDialog</name>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source> (not verified on hardware)</source>
        <translation> (実機では未検証)</translation>
    </message>
    <message>
        <source>Connect to an instrument</source>
        <translation>測定器に接続</translation>
    </message>
    <message>
        <source>Resource</source>
        <translation>リソース</translation>
    </message>
    <message>
        <source>Identity (*IDN?)</source>
        <translation>識別情報 (*IDN?)</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>更新(&amp;R)</translation>
    </message>
    <message>
        <source>such as TCPIP::192.168.1.20::INSTR or SIM</source>
        <translation>例: TCPIP::192.168.1.20::INSTR または SIM</translation>
    </message>
    <message>
        <source>&amp;Test</source>
        <translation>テスト(&amp;T)</translation>
    </message>
    <message>
        <source>Resource:</source>
        <translation>リソース:</translation>
    </message>
    <message>
        <source>Profile:</source>
        <translation>プロファイル:</translation>
    </message>
    <message>
        <source>Test:</source>
        <translation>テスト:</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>接続(&amp;C)</translation>
    </message>
    <message>
        <source>Instruments found on the network and the USB bus:</source>
        <translation>ネットワークと USB で見つかった測定器:</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>検索中...</translation>
    </message>
    <message>
        <source>No instruments found; searching again shortly.</source>
        <translation>測定器が見つかりません。まもなく再検索します。</translation>
    </message>
    <message>
        <source>Instruments found: %1</source>
        <translation>見つかった測定器: %1</translation>
    </message>
    <message>
        <source>chosen on connect</source>
        <translation>接続時に選択</translation>
    </message>
    <message>
        <source>No answer: %1</source>
        <translation>応答なし: %1</translation>
    </message>
    <message>
        <source>Asking %1 for *IDN?...</source>
        <translation>%1 に *IDN? を問い合わせています...</translation>
    </message>
    <message>
        <source>Answered: %1</source>
        <translation>応答: %1</translation>
    </message>
</context>
<context>
    <name>ixo::ExchangeProgress</name>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Cancelled by the user</source>
        <translation>ユーザーが取り消しました</translation>
    </message>
</context>
<context>
    <name>ixo::GuardedInstrument</name>
    <message>
        <source>Could not keep the present setup of %1 for Undo Restore, so nothing was restored (Edit &gt; Settings... can turn this off): %2</source>
        <translation>「復元を元に戻す」のための %1 の現在の設定を保存できなかったため、何も復元していません (編集 &gt; 設定... でオフにできます): %2</translation>
    </message>
    <message>
        <source>Cancelled by the user</source>
        <translation>ユーザーが取り消しました</translation>
    </message>
</context>
<context>
    <name>ixo::InstrumentConnection</name>
    <message>
        <source>Reconnected to %1</source>
        <translation>%1 に再接続しました</translation>
    </message>
    <message>
        <source>Connecting to %1...</source>
        <translation>%1 に接続しています...</translation>
    </message>
    <message>
        <source>no instrument</source>
        <translation>測定器なし</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Not connected</source>
        <translation>未接続</translation>
    </message>
    <message>
        <source>Connection to %1 lost; the next command reconnects</source>
        <translation>%1 との接続が切れました。次のコマンドで再接続します</translation>
    </message>
    <message>
        <source>Connected to %1</source>
        <translation>接続先: %1</translation>
    </message>
</context>
<context>
    <name>ixo::InstrumentPanel</name>
    <message>
        <source>size %1, CRC-32 %2</source>
        <translation>サイズ %1、CRC-32 %2</translation>
    </message>
    <message>
        <source>&lt;b&gt;Not connected&lt;/b&gt;</source>
        <translation>&lt;b&gt;未接続&lt;/b&gt;</translation>
    </message>
    <message>
        <source>&lt;b&gt;%1&lt;/b&gt;, version %2</source>
        <translation>&lt;b&gt;%1&lt;/b&gt;、バージョン %2</translation>
    </message>
    <message>
        <source>the instrument</source>
        <translation>測定器</translation>
    </message>
    <message>
        <source>"%1"</source>
        <translation>「%1」</translation>
    </message>
    <message>
        <source>Setup blocks: %1 %2; %3 %4. %5</source>
        <translation>設定ブロック: %1 %2、%3 %4。%5</translation>
    </message>
    <message>
        <source>They are the same.</source>
        <translation>同じです。</translation>
    </message>
    <message>
        <source>They differ.</source>
        <translation>異なります。</translation>
    </message>
    <message>
        <source>Changed</source>
        <translation>変更あり</translation>
    </message>
    <message>
        <source>Only in %1</source>
        <translation>%1 のみ</translation>
    </message>
    <message>
        <source>%1 and %2 have the same settings.</source>
        <translation>%1 と %2 の設定は同じです。</translation>
    </message>
    <message>
        <source>%1 against %2: %3 changed, %4 only in %1, %5 only in %2.</source>
        <translation>%1 と %2 の比較: 変更 %3、%1 のみ %4、%2 のみ %5。</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Instrument</source>
        <translation>測定器</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>値</translation>
    </message>
    <message>
        <source>&lt;b&gt;Instrument error:&lt;/b&gt; %1</source>
        <translation>&lt;b&gt;測定器のエラー:&lt;/b&gt; %1</translation>
    </message>
</context>
<context>
    <name>ixo::InstrumentRelay</name>
    <message>
        <source>No instrument is connected. Choose Instrument &gt; Connect... to connect one.</source>
        <translation>測定器が接続されていません。測定器 &gt; 接続... で接続してください。</translation>
    </message>
    <message>
        <source>the instrument</source>
        <translation>測定器</translation>
    </message>
    <message>
        <source>Capturing the setup of %1...</source>
        <translation>%1 の設定を取得しています...</translation>
    </message>
    <message>
        <source>Restoring a setup to %1...</source>
        <translation>%1 に設定を復元しています...</translation>
    </message>
    <message>
        <source>Waiting for %1</source>
        <translation>%1 を待っています</translation>
    </message>
    <message>
        <source>Cancelling the exchange with %1...</source>
        <translation>%1 との通信を中止しています...</translation>
    </message>
</context>
<context>
    <name>ixo::LibraryActions</name>
    <message>
        <source>Open &amp;Library...</source>
        <translation>ライブラリから開く(&amp;L)...</translation>
    </message>
    <message>
        <source>Open a document of a setup library by its address</source>
        <translation>セットアップライブラリのドキュメントをアドレスで開きます</translation>
    </message>
    <message>
        <source>Save to Li&amp;brary...</source>
        <translation>ライブラリに保存(&amp;B)...</translation>
    </message>
    <message>
        <source>Put the whole document into a setup library and go on working there</source>
        <translation>ドキュメント全体をセットアップライブラリに入れ、以後はそこで作業します</translation>
    </message>
    <message>
        <source>Open Library</source>
        <translation>ライブラリから開く</translation>
    </message>
    <message>
        <source>Address of the library document:</source>
        <translation>ライブラリのドキュメントのアドレス:</translation>
    </message>
    <message>
        <source>Save to Library</source>
        <translation>ライブラリに保存</translation>
    </message>
    <message>
        <source>Address of the library, with a document name it does not hold yet (?document=NAME):</source>
        <translation>ライブラリのアドレス (まだ含まれていないドキュメント名を ?document=NAME で指定):</translation>
    </message>
    <message>
        <source>Could not save to %1; the library is unchanged:
%2</source>
        <translation>%1 に保存できませんでした。ライブラリは変更されていません:
%2</translation>
    </message>
    <message>
        <source>The library at %1 cannot be reached. The document stays open here with its changes, not saved: save it again later, or to a file with Save As.
%2</source>
        <translation>%1 のライブラリに接続できません。ドキュメントは変更を保ったまま未保存でここに開いています。後でもう一度保存するか、「名前を付けて保存」でファイルに保存してください。
%2</translation>
    </message>
    <message>
        <source>Could not save to %1; the document stays as it was:
%2</source>
        <translation>%1 に保存できませんでした。ドキュメントは元のままです:
%2</translation>
    </message>
    <message>
        <source>IxoInstrSetups</source>
        <translation>IxoInstrSetups</translation>
    </message>
    <message>
        <source>%1

Reload opens the document again from the library, with the other station&apos;s change; the changes not saved in this window are lost. Keep leaves the document here as it is, not saved, so that it can be saved to a file with Save As.</source>
        <translation>%1

「再読み込み」はライブラリからドキュメントを開き直し、他のステーションの変更を反映します。このウィンドウで保存していない変更は失われます。「保持」はドキュメントを未保存のままここに残し、「名前を付けて保存」でファイルに保存できるようにします。</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>再読み込み</translation>
    </message>
    <message>
        <source>Keep</source>
        <translation>保持</translation>
    </message>
    <message>
        <source>Compare with &amp;Version...</source>
        <translation>バージョンと比較(&amp;V)...</translation>
    </message>
    <message>
        <source>Show an earlier version of the highlighted state beside it, as the library keeps it</source>
        <translation>強調表示した状態の以前のバージョンを、ライブラリが保持しているとおりに並べて表示します</translation>
    </message>
    <message>
        <source>captured</source>
        <translation>取得</translation>
    </message>
    <message>
        <source>renamed</source>
        <translation>名前変更</translation>
    </message>
    <message>
        <source>revised</source>
        <translation>改訂</translation>
    </message>
    <message>
        <source>released</source>
        <translation>リリース</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Version %1, %2: "%3", %4 on %5 at %6</source>
        <translation>バージョン %1、%2:「%3」、%4 (%5、%6)</translation>
    </message>
    <message>
        <source>Compare with Version</source>
        <translation>バージョンと比較</translation>
    </message>
    <message>
        <source>Version of "%1" to show beside it:</source>
        <translation>「%1」の横に表示するバージョン:</translation>
    </message>
    <message>
        <source>%1 (version %2, %3 on %4 at %5)</source>
        <translation>%1 (バージョン %2、%3、%4、%5)</translation>
    </message>
    <message>
        <source>Could not read the versions of "%1" from %2:
%3</source>
        <translation>%2 から「%1」のバージョンを読み取れませんでした:
%3</translation>
    </message>
</context>
<context>
    <name>ixo::MainWindow</name>
    <message>
        <source>%1 was restored, but the library could not add the restore to its audit trail: %2</source>
        <translation>%1 は復元されましたが、ライブラリは復元を監査証跡に記録できませんでした: %2</translation>
    </message>
    <message>
        <source>Instrument setup documents (*.ixs)|*.ixs|All files|*</source>
        <translation>測定器設定ドキュメント (*.ixs)|*.ixs|すべてのファイル|*</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>新規(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>開く(&amp;O)...</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>最近使ったファイル(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>名前を付けて保存(&amp;A)...</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>終了(&amp;Q)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>元に戻す(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>やり直し(&amp;R)</translation>
    </message>
    <message>
        <source>Se&amp;ttings...</source>
        <translation>設定(&amp;T)...</translation>
    </message>
    <message>
        <source>&amp;Instrument</source>
        <translation>測定器(&amp;I)</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>言語(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;Connect...</source>
        <translation>接続(&amp;C)...</translation>
    </message>
    <message>
        <source>&amp;Disconnect</source>
        <translation>切断(&amp;D)</translation>
    </message>
    <message>
        <source>Recent instruments</source>
        <translation>最近使った測定器</translation>
    </message>
    <message>
        <source>Could not connect to %1; the connection stays as it was:
%2</source>
        <translation>%1 に接続できませんでした。接続は変更されていません:
%2</translation>
    </message>
    <message>
        <source>Connected to %1</source>
        <translation>接続先: %1</translation>
    </message>
    <message>
        <source>Disconnected from %1</source>
        <translation>%1 から切断しました</translation>
    </message>
    <message>
        <source>Open document</source>
        <translation>ドキュメントを開く</translation>
    </message>
    <message>
        <source>Could not open %1:
%2</source>
        <translation>%1 を開けませんでした:
%2</translation>
    </message>
    <message>
        <source>Save document as</source>
        <translation>名前を付けてドキュメントを保存</translation>
    </message>
    <message>
        <source>Could not save %1; the file on disk is unchanged:
%2</source>
        <translation>%1 を保存できませんでした。ディスク上のファイルは変更されていません:
%2</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 を保存しました</translation>
    </message>
    <message>
        <source>The last change to the list was taken back.</source>
        <translation>リストの最後の変更を元に戻しました。</translation>
    </message>
    <message>
        <source>The document has changed. Save the changes?</source>
        <translation>ドキュメントが変更されました。変更を保存しますか?</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>無題</translation>
    </message>
    <message>
        <source>%1[*] - %2 - IxoInstrSetups</source>
        <translation>%1[*] - %2 - IxoInstrSetups</translation>
    </message>
    <message>
        <source>IxoInstrSetups</source>
        <translation>IxoInstrSetups</translation>
    </message>
    <message>
        <source>These instruments of the bench could not be connected; their tabs stay as they were:
%1</source>
        <translation>ベンチの次の測定器に接続できませんでした。タブは変更されていません:
%1</translation>
    </message>
    <message>
        <source>Undo Re&amp;store</source>
        <translation>復元を元に戻す(&amp;S)</translation>
    </message>
    <message>
        <source>Put back on the instrument the setup it had before its last restore</source>
        <translation>最後の復元の前の設定を測定器に戻す</translation>
    </message>
    <message>
        <source>%1 is back to the setup it had before its last restore.</source>
        <translation>%1 を最後の復元の前の設定に戻しました。</translation>
    </message>
    <message>
        <source>Could not undo the restore:
%1</source>
        <translation>復元を元に戻せませんでした:
%1</translation>
    </message>
</context>
<context>
    <name>RestorePreview</name>
    <message>
        <source>%1: %2 becomes %3</source>
        <translation>%1: %2 → %3</translation>
    </message>
    <message>
        <source>%1: set to %2</source>
        <translation>%1: %2 に設定</translation>
    </message>
    <message>
        <source>%1: %2 (not in the saved state)</source>
        <translation>%1: %2 (保存された状態にはありません)</translation>
    </message>
    <message>
        <source>The saved setup block is the same as the instrument's.</source>
        <translation>保存された設定ブロックは測定器のものと同じです。</translation>
    </message>
    <message>
        <source>The instrument's setup block (%1 bytes) is replaced by the saved one (%2 bytes).</source>
        <translation>測定器の設定ブロック (%1 バイト) が保存されたもの (%2 バイト) に置き換わります。</translation>
    </message>
    <message>
        <source>The restore changes no setting.</source>
        <translation>復元で変わる設定はありません。</translation>
    </message>
    <message>
        <source>... and %1 more</source>
        <translation>... ほか %1 件</translation>
    </message>
    <message>
        <source>Restoring the saved state changes these settings of %1:

%2

Restore it?</source>
        <translation>保存された状態を復元すると %1 の次の設定が変わります:

%2

復元しますか?</translation>
    </message>
    <message>
        <source>Restore preview</source>
        <translation>復元のプレビュー</translation>
    </message>
</context>
<context>
    <name>ixo::RoleTabs</name>
    <message>
        <source>No tab shows the %1</source>
        <translation>%1 を表示するタブがありません</translation>
    </message>
    <message>
        <source>%1 (%2): %3</source>
        <translation>%1 (%2): %3</translation>
    </message>
</context>
<context>
    <name>ixo::SettingsDialog</name>
    <message>
        <source>Before a restore, show the settings it changes and ask</source>
        <translation>復元の前に変わる設定を表示して確認する</translation>
    </message>
    <message>
        <source>After a restore, capture again and warn of settings that did not take (from the next connection on)</source>
        <translation>復元の後にもう一度取得し、反映されなかった設定を警告する（次の接続から）</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Before a restore, keep the instrument's present setup, so that Edit &gt; Undo Restore can put it back</source>
        <translation>復元の前に測定器の現在の設定を保存し、編集 &gt; 復元を元に戻す で戻せるようにする</translation>
    </message>
</context>
<context>
    <name>ixo::StateComparison</name>
    <message>
        <source>Comparing "%1" with "%2"</source>
        <translation>「%1」と「%2」を比較しています</translation>
    </message>
</context>
<context>
    <name>ixo::WindowLanguage</name>
    <message>
        <source>IxoInstrSetups</source>
        <translation>IxoInstrSetups</translation>
    </message>
    <message>
        <source>%1 is not available here (its catalogue or font is missing); the texts stay in English.</source>
        <translation>%1 はここでは使えません(カタログかフォントがありません)。英語のままです。</translation>
    </message>
    <message>
        <source>Language: %1</source>
        <translation>言語: %1</translation>
    </message>
</context>
</TS>
