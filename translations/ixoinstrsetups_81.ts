<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name></name>
    <message id="CategoryId">
        <extracomment>Catalogue description, not shown to users.</extracomment>
        <source>{A20A0573-8B1A-487e-AC55-EAFA32AE3F9D}</source>
        <translation>{A20A0573-8B1A-487e-AC55-EAFA32AE3F9D}</translation>
    </message>
    <message id="FontName">
        <source>Arial</source>
        <translation>Noto Sans CJK JP</translation>
    </message>
    <message id="FontSize">
        <source>8</source>
        <translation>9</translation>
    </message>
    <message id="CodePage">
        <source>1</source>
        <translation>932</translation>
    </message>
    <message id="Language">
        <source>English US</source>
        <translation>日本語</translation>
    </message>
    <message id="PrimaryLanguageID">
        <source>1</source>
        <translation>17</translation>
    </message>
    <message id="SecondaryLanguageID">
        <source>0</source>
        <translation>1</translation>
    </message>
    <message id="Version">
        <source>1.0.0.0</source>
        <translation>1.0.0.0</translation>
    </message>
    <message id="200">
        <source>Name:</source>
        <translation>名前:</translation>
    </message>
    <message id="201">
        <source>Description:</source>
        <translation>説明:</translation>
    </message>
    <message id="202">
        <source>Instrument State</source>
        <translation>測定器の状態</translation>
    </message>
    <message id="203">
        <source>Capture New...</source>
        <translation>新規取得...</translation>
    </message>
    <message id="204">
        <source>Restore</source>
        <translation>復元</translation>
    </message>
    <message id="205">
        <source>Edit Name...</source>
        <translation>名前の編集...</translation>
    </message>
    <message id="206">
        <source>Remove</source>
        <translation>削除</translation>
    </message>
    <message id="207">
        <source>Optional</source>
        <translation>オプション</translation>
    </message>
    <message id="208">
        <source>Import...</source>
        <translation>インポート...</translation>
    </message>
    <message id="209">
        <source>Export...</source>
        <translation>エクスポート...</translation>
    </message>
    <message id="210">
        <source>Capture New State</source>
        <translation>新しい状態の取得</translation>
    </message>
    <message id="211">
        <source>Edit State Name </source>
        <translation>状態名の編集 </translation>
    </message>
    <message id="212">
        <source>Import previously stored state file</source>
        <translation>保存済みの状態ファイルのインポート</translation>
    </message>
    <message id="213">
        <source>Tessaview State Files (*.sta)|*.sta</source>
        <translation>Tessaview 状態ファイル (*.sta)|*.sta</translation>
    </message>
    <message id="214">
        <source>Export </source>
        <translation>エクスポート </translation>
    </message>
    <message id="215">
        <source> To</source>
        <translation> の保存先</translation>
    </message>
    <message id="216">
        <source>State </source>
        <translation>状態 </translation>
    </message>
    <message id="217">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="218">
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message id="219">
        <source>Failed to Capture State from the Instrument</source>
        <translation>測定器から状態を取得できませんでした</translation>
    </message>
    <message id="220">
        <source>Error Details: </source>
        <translation>エラーの詳細: </translation>
    </message>
    <message id="221">
        <source>Error</source>
        <translation>エラー</translation>
    </message>
    <message id="222">
        <source>Failed to Export state to a file, Error = </source>
        <translation>状態をファイルにエクスポートできませんでした。エラー = </translation>
    </message>
    <message id="223">
        <source>The imported state is for the </source>
        <translation>インポートした状態の対象機種は </translation>
    </message>
    <message id="224">
        <source>, version </source>
        <translation>、バージョン </translation>
    </message>
    <message id="225">
        <source>Can not import state file.</source>
        <translation>状態ファイルをインポートできません。</translation>
    </message>
    <message id="226">
        <source>Imported state </source>
        <translation>インポートした状態 </translation>
    </message>
    <message id="227">
        <source> is already in the list.</source>
        <translation> は既に一覧にあります。</translation>
    </message>
    <message id="228">
        <source>You must rename it.</source>
        <translation>名前を変更してください。</translation>
    </message>
    <message id="229">
        <source> does not appear to be a standard state file.</source>
        <translation> は標準の状態ファイルではないようです。</translation>
    </message>
    <message id="230">
        <source>Failed to reset instrument to saved state</source>
        <translation>測定器を保存済みの状態に戻せませんでした</translation>
    </message>
    <message id="231">
        <source>The selected state is for the instrument model </source>
        <translation>選択した状態の対象機種は </translation>
    </message>
    <message id="232">
        <source>which is not the currently connected instrument. The state was not restored.</source>
        <translation>これは現在接続されている測定器ではありません。状態は復元されませんでした。</translation>
    </message>
    <message id="233">
        <source> is already a Captured State.</source>
        <translation> は既に取得済みの状態です。</translation>
    </message>
    <message id="235">
        <source>Capture current instrument setting</source>
        <translation>現在の測定器の設定を取得します</translation>
    </message>
    <message id="236">
        <source>Restore highlighted state to instrument</source>
        <translation>選択した状態を測定器に復元します</translation>
    </message>
    <message id="237">
        <source>Edit the name and description of the highlighted state</source>
        <translation>選択した状態の名前と説明を編集します</translation>
    </message>
    <message id="238">
        <source>Remove the highlighted state from the list</source>
        <translation>選択した状態を一覧から削除します</translation>
    </message>
    <message id="240">
        <source>Retrieve an instrument state from a file</source>
        <translation>ファイルから測定器の状態を読み込みます</translation>
    </message>
    <message id="241">
        <source>Save the highlighted state to a file</source>
        <translation>選択した状態をファイルに保存します</translation>
    </message>
    <message id="244">
        <source>Save name and description with instrument state</source>
        <translation>名前と説明を測定器の状態と一緒に保存します</translation>
    </message>
    <message id="245">
        <source>Cancel the save operation</source>
        <translation>保存をキャンセルします</translation>
    </message>
</context>
</TS>
